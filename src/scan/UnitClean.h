#pragma once

#include <string>

namespace qinglan::platform {
class Remover;
}

namespace qinglan {

// Deletes a file, a link or a whole folder tree permanently and silently. True on success;
// parts of a tree deleted before a failure stay deleted.
bool ShellDeletePath(const std::string& path);
bool ShellDeletePath(const std::string& path, platform::Remover& remover);

}  // namespace qinglan
