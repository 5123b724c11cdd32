#pragma once

#include <string>

namespace qinglan::platform {

// Looks through the tree of an open folder, without following links, for anything on another
// mount than the folder itself: a file system or a bind mount over one of its folders or files.
// Empty when there is none; else why the tree cannot be moved as one (the mount's place in the
// tree, or what stopped the look). Holds a few descriptors whatever the tree's depth.
std::string mountInsideTree(int folderFd);

}  // namespace qinglan::platform
