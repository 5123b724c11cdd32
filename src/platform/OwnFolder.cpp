#include "platform/OwnFolder.h"

#include <cerrno>

#include "platform/IniFileIo.h"

namespace qinglan::platform {

UnsafeFolderError::UnsafeFolderError(std::string folder, std::string reason)
    : std::runtime_error("unsafe program folder " + folder + ": " + reason),
      m_folder(std::move(folder)),
      m_reason(std::move(reason)) {}

bool OwnFolder::replace(std::string_view name, std::string_view bytes, unsigned mode) const {
  const std::string temporary = writeTemporary("." + std::string(name) + ".", bytes, mode);
  if (temporary.empty())
    return false;
  if (rename(temporary, name))
    return true;
  removeTemporary(temporary);
  return false;
}

bool AppendedFile::append(std::string_view bytes) {
  static const auto systemWrite = detail::systemIniFileIo().write;
  return detail::writeWhole(m_fd, bytes, systemWrite);
}

namespace detail {

bool writeWhole(int fd, std::string_view bytes,
                std::ptrdiff_t (*write)(int fd, const void* data, std::size_t size)) {
  while (!bytes.empty()) {
    const std::ptrdiff_t count = write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR)
      continue;
    if (count <= 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

}  // namespace detail

}  // namespace qinglan::platform
