#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qinglan::platform {

// True when the standard error stream goes to a terminal, where progress lines may be redrawn.
bool errorStreamIsTerminal();

enum class StandardStream { Output, Error };

// Writes UTF-8 text to standard output or error. A Windows console is given the text as UTF-16, in
// which it shows whatever its code page; pipes, files and other systems' terminals get the bytes.
void writeStandard(StandardStream stream, std::string_view utf8);

// Sends what std::cout and std::cerr print through writeStandard where they reach a Windows
// console; changes nothing elsewhere.
void printToConsoleAsWritten();

// The program's arguments as UTF-8, the program's name first. Windows hands a program its
// arguments in the ANSI code page, which cannot hold every name; they are read again in UTF-16.
std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace qinglan::platform
