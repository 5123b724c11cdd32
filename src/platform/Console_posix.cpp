#include "platform/Console.h"

#include <cstdio>

#include <unistd.h>

namespace qinglan::platform {

bool errorStreamIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

void writeStandard(StandardStream stream, std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stream == StandardStream::Output ? stdout : stderr);
}

void printToConsoleAsWritten() {}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace qinglan::platform
