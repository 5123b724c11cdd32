#include "platform/OwnFolder.h"

namespace qinglan::platform {

UnsafeFolderError::UnsafeFolderError(std::string folder, std::string reason)
    : std::runtime_error("unsafe program folder " + folder + ": " + reason),
      m_folder(std::move(folder)),
      m_reason(std::move(reason)) {}

}  // namespace qinglan::platform
