#include "history/CleanJournal.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include <nlohmann/json.hpp>

#include "history/EscapedPath.h"
#include "platform/Path.h"
#include "platform/TextSplit.h"

namespace qinglan {

namespace {

constexpr std::array kOutcomeNames = {std::pair{CleanOutcome::Deleted, std::string_view("deleted")},
                                      std::pair{CleanOutcome::Trashed, std::string_view("trashed")},
                                      std::pair{CleanOutcome::Failed, std::string_view("failed")},
                                      std::pair{CleanOutcome::Gone, std::string_view("gone")},
                                      std::pair{CleanOutcome::Restored, std::string_view("restored")},
                                      std::pair{CleanOutcome::Purged, std::string_view("purged")},
                                      std::pair{CleanOutcome::Freed, std::string_view("freed")}};

std::optional<std::string> rawPath(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end())
    return std::string();
  if (!found->is_string())
    return std::nullopt;
  return unescapePathBytes(found->get<std::string>());
}

// An identity as [device, inode, type], with the upper half of a 128-bit id after them where
// there is one, so that lines of 64-bit ids read as they always did; unknown ones are left out.
void putId(nlohmann::ordered_json& line, const char* key, const platform::EntryId& id) {
  if (!id.known())
    return;
  line[key] = {id.device, id.inode, id.type};
  if (id.inodeHigh != 0)
    line[key].push_back(id.inodeHigh);
}

// A missing identity is unknown (lines written before identities were kept); a malformed one
// makes the line unreadable.
std::optional<platform::EntryId> idOf(const nlohmann::json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end())
    return platform::EntryId{};
  if (!found->is_array() || found->size() < 3 || found->size() > 4 ||
      !std::ranges::all_of(*found, [](const nlohmann::json& part) { return part.is_number_unsigned(); }))
    return std::nullopt;
  const uint64_t high = found->size() == 4 ? (*found)[3].get<uint64_t>() : 0;
  return platform::EntryId{(*found)[0].get<uint64_t>(), (*found)[1].get<uint64_t>(),
                           (*found)[2].get<uint32_t>(), high};
}

}  // namespace

std::string_view outcomeName(CleanOutcome outcome) {
  for (const auto& [value, name] : kOutcomeNames) {
    if (value == outcome)
      return name;
  }
  return {};
}

std::optional<CleanOutcome> outcomeFromName(std::string_view name) {
  for (const auto& [value, known] : kOutcomeNames) {
    if (known == name)
      return value;
  }
  return std::nullopt;
}

std::string journalFile(const std::string& stateFolder) {
  return stateFolder + std::string(kJournalFileName);
}

std::string journalLine(const JournalEntry& entry) {
  nlohmann::ordered_json line{{"pass", entry.pass},
                              {"time", entry.time},
                              {"path", escapePathBytes(entry.path)},
                              {"size", entry.size},
                              {"outcome", outcomeName(entry.outcome)}};
  if (!entry.reason.empty())
    line["reason"] = entry.reason;
  if (entry.outcome == CleanOutcome::Trashed || entry.outcome == CleanOutcome::Restored ||
      entry.outcome == CleanOutcome::Purged) {
    line["trash"] = escapePathBytes(entry.trash.folder);
    line["trash_name"] = escapePathBytes(entry.trash.name);
    line["origin"] = escapePathBytes(entry.trash.origin);
    putId(line, "entry_id", entry.trash.entry);
    putId(line, "trash_id", entry.trash.trashFolder);
    putId(line, "origin_folder_id", entry.trash.originFolder);
    if (entry.trash.entryBorn != 0)
      line["entry_born"] = entry.trash.entryBorn;
  }
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<JournalEntry> entryFromLine(std::string_view line) {
  const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  if (!object.is_object())
    return std::nullopt;
  JournalEntry entry;
  const auto text = [&object](const char* key) { return object.value(key, std::string()); };
  try {
    entry.pass = text("pass");
    entry.time = text("time");
    entry.size = object.value("size", int64_t{0});
    entry.reason = text("reason");
    const std::optional<CleanOutcome> outcome = outcomeFromName(text("outcome"));
    const std::optional<std::string> path = rawPath(object, "path");
    const std::optional<std::string> folder = rawPath(object, "trash");
    const std::optional<std::string> name = rawPath(object, "trash_name");
    const std::optional<std::string> origin = rawPath(object, "origin");
    const std::optional<platform::EntryId> entryId = idOf(object, "entry_id");
    const std::optional<platform::EntryId> trashId = idOf(object, "trash_id");
    const std::optional<platform::EntryId> originFolderId = idOf(object, "origin_folder_id");
    if (entry.pass.empty() || !outcome || !path || !folder || !name || !origin || !entryId || !trashId ||
        !originFolderId)
      return std::nullopt;
    entry.outcome = *outcome;
    entry.path = *path;
    entry.trash = {
        *folder, *name, *origin, *entryId, *trashId, *originFolderId, object.value("entry_born", int64_t{0})};
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
  return entry;
}

CleanJournal::CleanJournal(std::string fileName, uintmax_t limitBytes)
    : m_fileName(std::move(fileName)), m_limitBytes(limitBytes) {}

CleanJournal::~CleanJournal() = default;

std::string CleanJournal::name() const {
  return platform::splitPath(m_fileName).name;
}

void CleanJournal::open() {
  if (m_file)
    return;
  // The state folder of an installed program is made at the first pass that needs it.
  std::optional<platform::OwnFolder> folder =
      platform::OwnFolder::make(platform::splitPath(m_fileName).parent);
  if (!folder)
    throw JournalWriteError("Unable to write to " + m_fileName);
  trim(*folder);
  std::optional<platform::AppendedFile> file = folder->openForAppend(name());
  // A line cut by a crash stays alone on its line rather than swallowing the next one.
  if (!file || (!file->endsWithLineEnd() && !file->append("\n")))
    throw JournalWriteError("Unable to write to " + m_fileName);
  m_folder.emplace(std::move(*folder));
  m_file.emplace(std::move(*file));
}

void CleanJournal::append(const JournalEntry& entry) {
  open();
  if (!m_file->append(journalLine(entry) + "\n"))
    throw JournalWriteError("Unable to write to " + m_fileName);
}

void CleanJournal::close() {
  if (!m_file)
    return;
  m_file.reset();
  trim(*m_folder);
  m_folder.reset();
}

std::vector<JournalEntry> CleanJournal::read() const {
  std::vector<JournalEntry> entries;
  const std::optional<platform::OwnFolder> folder =
      platform::OwnFolder::open(platform::splitPath(m_fileName).parent);
  if (!folder)
    return entries;
  for (const std::string& line : platform::splitLines(folder->read(name()).bytes)) {
    if (std::optional<JournalEntry> entry = entryFromLine(line))
      entries.push_back(std::move(*entry));
  }
  return entries;
}

void CleanJournal::trim(const platform::OwnFolder& folder) const {
  if (folder.fileSize(name()).value_or(0) <= m_limitBytes)
    return;
  const platform::WholeFile file = folder.read(name());
  const uintmax_t size = file.bytes.size();
  if (file.status != platform::ReadStatus::Read || size <= m_limitBytes)
    return;
  // Lines keep their pass's place of first appearance; passes drop out oldest first.
  const std::vector<std::string> lines = platform::splitLines(file.bytes);
  std::vector<std::string> order;
  std::map<std::string, uintmax_t> bytesOfPass;
  std::vector<std::string> passOfLine;
  for (const std::string& line : lines) {
    const std::optional<JournalEntry> entry = entryFromLine(line);
    const std::string pass = entry ? entry->pass : std::string();
    if (!bytesOfPass.contains(pass))
      order.push_back(pass);
    bytesOfPass[pass] += line.size() + 1;
    passOfLine.push_back(pass);
  }
  uintmax_t kept = size;
  std::map<std::string, bool> dropped;
  for (size_t i = 0; i + 1 < order.size() && kept > m_limitBytes; ++i) {
    dropped[order[i]] = true;
    kept -= bytesOfPass[order[i]];
  }
  std::string trimmed;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!dropped[passOfLine[i]])
      trimmed.append(lines[i]).push_back('\n');
  }
  // A journal that cannot be trimmed now stays whole and is trimmed at a later pass.
  folder.replace(name(), trimmed, file.mode);
}

}  // namespace qinglan
