#include "whitelist/Whitelist.h"

#include <utility>

#include "platform/Path.h"
#include "platform/Remover.h"
#include "scan/UnitClean.h"

namespace qinglan {

Whitelist::Whitelist(std::string fileName) : m_file(std::move(fileName)) {}

Whitelist Whitelist::inAppFolder(const std::string& appPath) {
  return Whitelist(platform::withTrailingSeparator(appPath) + std::string(kWhitelistFileName));
}

bool Whitelist::hides(const std::string& resourceId) const {
  // The listing has always looked the section up in lower case; names match without regard to case.
  return m_file.readString("white", resourceId, "") == "1";
}

void Whitelist::add(const std::string& resourceId, const std::string& name) {
  m_file.writeString(kWhiteSection, resourceId, "1");
  m_file.writeString(kWhiteNameSection, resourceId, name);
}

std::vector<WhitelistEntry> Whitelist::entries() const {
  std::vector<WhitelistEntry> entries;
  for (std::string& id : m_file.readSection(kWhiteSection)) {
    std::string name = m_file.readString(kWhiteNameSection, id, "");
    entries.push_back({std::move(name), std::move(id)});
  }
  return entries;
}

void Whitelist::remove(const std::string& resourceId) {
  m_file.deleteKey(kWhiteSection, resourceId);
  m_file.deleteKey(kWhiteNameSection, resourceId);
}

bool Whitelist::clear() const {
  return clear(platform::Remover::system());
}

bool Whitelist::clear(platform::Remover& remover) const {
  return ShellDeletePath(fileName(), remover);
}

bool Whitelist::trashOption() const {
  return m_file.readString(kOptionSection, kTrashKey, "") == "1";
}

void Whitelist::setTrashOption(bool on) {
  // Switching it off removes the key, leaving a file that never had it as it was.
  if (on) {
    m_file.writeString(kOptionSection, kTrashKey, "1");
  } else {
    m_file.deleteKey(kOptionSection, kTrashKey);
  }
}

}  // namespace qinglan
