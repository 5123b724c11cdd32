#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qinglan::platform {

// The path object of a UTF-8 path text. Every std::filesystem call of the program takes its path
// from here: a plain std::string would be read in the ANSI code page on Windows, which cannot
// hold most Chinese names.
std::filesystem::path fsPath(std::string_view utf8);

// The UTF-8 text of a path object, the inverse of fsPath.
std::string pathText(const std::filesystem::path& path);

#ifdef _WIN32
// The UTF-16 text of UTF-8, and back, without any path treatment.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

// The UTF-16 form in which a path reaches the Win32 calls: separators made "\", and an absolute
// path given the "\\?\" prefix so that it may pass 260 characters.
std::wstring widePath(std::string_view utf8);
#endif

}  // namespace qinglan::platform
