#include "support/CliRunner.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace qinglan::test {

namespace {

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

CliOutput runQinglanCli(const TempDir& scratch, const std::vector<std::string>& arguments) {
#ifdef QINGLAN_BIN_DIR
  const std::string binary = std::string(QINGLAN_BIN_DIR) + "/qinglan-cli";
#else
  const std::string binary = "qinglan-cli";
#endif
  const std::string errorFile = scratch.path("cli-stderr.txt");
  std::string command = shellQuoted(binary);
  for (const std::string& argument : arguments)
    command += " " + shellQuoted(argument);
  command += " 2>" + shellQuoted(errorFile);

  CliOutput output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr)
    return output;
  std::string text;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    text.append(chunk, got);
  const int status = ::pclose(pipe);
  output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    output.lines.push_back(line);
  std::ifstream errors(errorFile);
  std::getline(errors, output.errors, '\0');
  return output;
}

}  // namespace qinglan::test
