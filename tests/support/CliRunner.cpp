#include "support/CliRunner.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>

#include "platform/NativePath.h"
#else
#include <sys/wait.h>
#endif

namespace qinglan::test {

namespace {

#ifdef _WIN32
// cmd.exe reads the line: each argument goes in double quotes, and the whole line in one more pair,
// which cmd strips. Backslashes before a quote, the closing one too (a folder given as C:\dir\), are
// doubled so that the program's argument parser keeps them as written.
std::string shellQuoted(const std::string& text) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : text) {
    if (c == '"') {
      quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    } else {
      backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, '\\');
  return quoted + "\"";
}

FILE* openPipe(const std::string& command) {
  return ::_wpopen(platform::wideText("\"" + command + "\"").c_str(), L"rb");
}

int closePipe(FILE* pipe) {
  return ::_pclose(pipe);
}

const char* const kProgram = "qinglan-cli.exe";
#else
std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

FILE* openPipe(const std::string& command) {
  return ::popen(command.c_str(), "r");
}

int closePipe(FILE* pipe) {
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char* const kProgram = "qinglan-cli";
#endif

}  // namespace

CliOutput runQinglanCli(const TempDir& scratch, const std::vector<std::string>& arguments) {
#ifdef QINGLAN_BIN_DIR
  const std::string binary = std::string(QINGLAN_BIN_DIR) + "/" + kProgram;
#else
  const std::string binary = kProgram;
#endif
  const std::string errorFile = scratch.path("cli-stderr.txt");
  std::string command = shellQuoted(binary);
  for (const std::string& argument : arguments)
    command += " " + shellQuoted(argument);
  command += " 2>" + shellQuoted(errorFile);

  CliOutput output;
  FILE* pipe = openPipe(command);
  if (pipe == nullptr)
    return output;
  std::string text;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
    text.append(chunk, got);
  output.exitCode = closePipe(pipe);
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
#ifdef _WIN32
    // The program writes its standard output in text mode: lines end with CR LF.
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
#endif
    output.lines.push_back(line);
  }
  std::ifstream errors(errorFile);
  std::getline(errors, output.errors, '\0');
  return output;
}

}  // namespace qinglan::test
