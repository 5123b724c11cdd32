#include "whitelist/Whitelist.h"

#include <charconv>
#include <utility>

#include "platform/Codepage.h"
#include "platform/Path.h"

namespace qinglan {

Whitelist::Whitelist(std::string fileName) : m_file(std::move(fileName)) {}

Whitelist Whitelist::inAppFolder(const std::string& appPath) {
  return Whitelist(platform::withTrailingSeparator(appPath) + std::string(kWhitelistFileName));
}

bool Whitelist::hides(const std::string& resourceId) const {
  // The listing has always looked the section up in lower case; names match without regard to case.
  return m_file.readString("white", resourceId, "") == "1";
}

namespace {

// True when wb.lst gives the ID back as its key exactly: GBK holds it, it has no blank at either
// end, no "=" and no line break, and its line cannot read as a section header or a comment.
bool keyReadsBack(const std::string& id) {
  if (id.empty() || id.find_first_of("=\r\n") != std::string::npos || id.front() == '[' || id.front() == ';')
    return false;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (blank(id.front()) || blank(id.back()))
    return false;
  return platform::isValidUtf8(id) && platform::gbkToUtf8(platform::utf8ToGbk(id)) == id;
}

}  // namespace

bool Whitelist::add(const std::string& resourceId, const std::string& name) {
  // An entry written under another key would hide nothing and could shadow or split others.
  if (!keyReadsBack(resourceId))
    return false;
  m_file.writeString(kWhiteSection, resourceId, "1");
  m_file.writeString(kWhiteNameSection, resourceId, name);
  if (hides(resourceId))
    return true;
  m_file.deleteKey(kWhiteSection, resourceId);
  m_file.deleteKey(kWhiteNameSection, resourceId);
  return false;
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

void Whitelist::clear() {
  // White first: once it is gone nothing is hidden, whatever a refused later write leaves.
  m_file.eraseSection(kWhiteSection);
  m_file.eraseSection(kWhiteNameSection);
  m_file.eraseSection(kUnvercheckSection);
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

bool Whitelist::skipInUseOption() const {
  return m_file.readString(kOptionSection, kInUseKey, "") != "0";
}

void Whitelist::setSkipInUseOption(bool on) {
  // Only the choice away from the default is written.
  if (on) {
    m_file.deleteKey(kOptionSection, kInUseKey);
  } else {
    m_file.writeString(kOptionSection, kInUseKey, "0");
  }
}

OlderThanOption Whitelist::olderThanOption() const {
  OlderThanOption option;
  option.on = m_file.readString(kOptionSection, kOlderThanKey, "") == "1";
  const std::string text = m_file.readString(kOptionSection, kOlderThanDaysKey, "");
  int days = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), days);
  if (error == std::errc() && end == text.data() + text.size() && days >= 1 && days <= kMaxOlderThanDays)
    option.days = days;
  return option;
}

void Whitelist::setOlderThanOption(const OlderThanOption& option) {
  // As with the other options, only what differs from the default is written.
  if (option.on) {
    m_file.writeString(kOptionSection, kOlderThanKey, "1");
  } else {
    m_file.deleteKey(kOptionSection, kOlderThanKey);
  }
  if (option.days == kDefaultOlderThanDays) {
    m_file.deleteKey(kOptionSection, kOlderThanDaysKey);
  } else {
    m_file.writeString(kOptionSection, kOlderThanDaysKey, std::to_string(option.days));
  }
}

}  // namespace qinglan
