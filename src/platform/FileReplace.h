#pragma once

#include <string>
#include <string_view>

namespace qinglan::platform {

enum class ReadStatus { Read, Missing, Failed };

// A whole file's bytes and permission bits, as far as the read came.
struct WholeFile {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;
  unsigned mode = 0;
};

WholeFile readWholeFile(const std::string& path);

// Replaces the file at the path, or the file a link there points to, with a new one holding the
// bytes: written in full beside it, made durable, then moved over it in one step, so a reader sees
// the old content or the new, never a part. `mode` gives the new file's permission bits (0 leaves
// the system's default). False when a step fails; the old file is then as it was and no temporary
// file is left behind.
bool replaceFile(const std::string& path, std::string_view bytes, unsigned mode);

}  // namespace qinglan::platform
