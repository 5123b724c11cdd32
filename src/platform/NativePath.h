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

// The path made absolute with "." and ".." taken out and every other name kept as written, in the
// form the program shows paths (on Windows without the "\\?\" prefix, which it may be given with).
std::string absolutePath(std::string_view utf8);

// False only when the system says nothing stands at the path; a link counts itself, never what it
// leads to, and an answer that cannot be had (a folder on the way refused) counts as still there.
bool entryExists(const std::string& path);

#ifdef _WIN32
// The UTF-16 text of UTF-8, and back, without any path treatment.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

// The UTF-16 form in which a path reaches the Win32 calls: separators made "\", made absolute as
// absolutePath does, and given the "\\?\" prefix, so that it may pass 260 characters and every name
// means what it says ("ff." is not "ff", "CON" is a file).
std::wstring widePath(std::string_view utf8);
#endif

}  // namespace qinglan::platform
