#include "scan/RulesCheck.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>

#include "platform/CaselessName.h"
#include "platform/TextSplit.h"
#include "scan/RuleRoot.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

using platform::asciiLower;
using platform::splitLines;

// Files that programs need to run or that hold what they keep; no mask may take them.
constexpr std::string_view kProgramFiles[] = {
    "game.exe",  "setup.exe",   "unins000.exe", "engine.dll",   "msvcp140.dll", "driver.sys",
    "setup.msi", "control.ocx", "Resource.ini", "desktop.ini",  "config.ini",   "settings.json",
    "data.pak",  "save001.sav", "0.ico",        "pagefile.sys", "hiberfil.sys", "bootmgr",
};

// What people keep: a cache rule may take none of these.
constexpr std::string_view kUserFiles[] = {
    "movie.mp4",   "movie.flv",  "movie.mkv",     "movie.avi",
    "movie.mov",   "movie.wmv",  "movie.rmvb",    "movie.ts",
    "movie.m4v",   "movie.webm", "song.mp3",      "song.flac",
    "song.wav",    "song.wma",   "song.aac",      "song.ogg",
    "song.m4a",    "song.ape",   "doc.doc",       "doc.docx",
    "doc.xls",     "doc.xlsx",   "doc.ppt",       "doc.pptx",
    "doc.pdf",     "doc.txt",    "doc.wps",       "book.epub",
    "note.rtf",    "sheet.csv",  "download.part", "download.crdownload",
    "download.td",
};

constexpr std::string_view kUserFolders[] = {"Downloads", "Documents", "Desktop", "Videos",
                                             "Music",     "Pictures",  "Users"};

bool namesUserFolder(std::string_view stored) {
  for (const std::string& name : SplitAtDelimiter(stored, "\\")) {
    for (std::string_view folder : kUserFolders) {
      if (platform::equalsFoldingAscii(name, folder))
        return true;
    }
  }
  return false;
}

template <size_t kCount>
const std::string_view* firstMatch(const Mask& mask, const std::string_view (&names)[kCount]) {
  for (const std::string_view& name : names) {
    if (mask.matches(name))
      return &name;
  }
  return nullptr;
}

// A note that tells the user to keep the file it is shown for.
bool saysKeep(std::string_view note) {
  for (std::string_view phrase : {"不要删除", "不要手动删除", "请保留", "建议保留"}) {
    if (note.find(phrase) != std::string_view::npos)
      return true;
  }
  return false;
}

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// Folder and masks as a row is found by: case does not tell two rows apart.
std::string rowKey(std::string_view folder, const std::vector<std::string>& masks) {
  std::string key = asciiLower(folder);
  for (const std::string& mask : masks)
    key += '\n' + asciiLower(mask);
  return key;
}

class Checker {
 public:
  explicit Checker(const std::vector<InfoNote>& notes) : m_notes(notes) {}

  void item(const ScanItem& item) {
    const std::string where = "ccdb Id " + item.id;
    if (!m_ids.insert(item.id).second)
      add(where, "repeats the Id of an earlier item");
    if (climbsOutOfRoot(item.folder))
      add(where, "Folder " + quoted(item.folder) + " climbs out of the content folder or is absolute");
    const std::vector<std::string> masks = splitLines(item.file);
    checkMasks(where, masks, false);
    checkNotes(where, item.folder, masks);
    if (!m_items.insert(rowKey(item.folder, masks)).second)
      add(where, "repeats an earlier item's Folder and masks");
  }

  void rule(size_t row, const CacheRule& rule) {
    const std::string where = "CacheClean row " + std::to_string(row) + " (" + rule.dir + ")";
    const std::string_view dir = cacheRuleDirBelowRoot(rule.dir);
    const std::vector<std::string> masks = splitLines(rule.fileName);
    if (climbsOutOfRoot(dir))
      add(where, "dir climbs out of the drive root or names another drive");
    if (namesUserFolder(dir))
      add(where, "dir is a folder where people keep their files");
    if (namesBaseItself(storedPathToLocal(dir))) {
      for (const std::string& mask : masks) {
        if (matchesEveryName(mask))
          add(where, "mask " + quoted(mask) + " takes every name at the drive root");
      }
    }
    checkMasks(where, masks, true);
    if (!m_rules.insert(rowKey(dir, masks)).second)
      add(where, "repeats an earlier rule's dir and masks");
  }

  std::vector<RuleProblem> problems;

 private:
  void add(const std::string& where, std::string what) { problems.push_back({where, std::move(what)}); }

  void checkMasks(const std::string& where, const std::vector<std::string>& masks, bool cacheRule) {
    for (const std::string& text : masks) {
      const Mask mask(text);
      if (!mask.valid()) {
        add(where, "mask " + quoted(text) + " is invalid");
        continue;
      }
      // A mask of every name is meant for a folder that holds nothing else; at a drive root it is
      // reported above, and sample names would tell nothing more about it.
      if (matchesEveryName(text))
        continue;
      if (const std::string_view* name = firstMatch(mask, kProgramFiles))
        add(where, "mask " + quoted(text) + " takes program files such as " + std::string(*name));
      const std::string_view* kept = cacheRule ? firstMatch(mask, kUserFiles) : nullptr;
      if (kept)
        add(where, "mask " + quoted(text) + " takes files people keep such as " + std::string(*kept));
    }
  }

  // A scan item's findings show the note on their names, except where the item takes every name
  // in its folder: the note keyed by that folder then speaks for them all (a cache rule's
  // description speaks for its findings, so cache rules are not checked here).
  void checkNotes(const std::string& where, const std::string& folder,
                  const std::vector<std::string>& masks) {
    if (std::ranges::any_of(masks, matchesEveryName)) {
      const InfoNote* own = folder.empty() ? nullptr : firstNote(folder, false);
      if (own != nullptr && !own->value.empty()) {
        if (saysKeep(own->value))
          add(where, "the note on " + quoted(folder) + " says not to delete what the item takes");
      } else if (const InfoNote* kept = firstKeptNote()) {
        add(where, "takes every name in its folder, and without a note on " + quoted(folder) +
                       " its findings show notes that say not to delete them, such as " + quoted(kept->key));
      }
      return;
    }
    for (const std::string& text : masks) {
      const Mask mask(text);
      if (!mask.valid())
        continue;
      for (const InfoNote& note : m_notes) {
        const std::string sample = note.onExtension ? "x" + note.key : note.key;
        if (saysKeep(note.value) && mask.matches(sample) && firstNote(note.key, note.onExtension) == &note)
          add(where,
              "mask " + quoted(text) + " takes " + quoted(sample) + ", whose note says not to delete it");
      }
    }
  }

  // The note a look-up of the key finds: the first row with it.
  const InfoNote* firstNote(std::string_view key, bool onExtension) const {
    for (const InfoNote& note : m_notes) {
      if (note.onExtension == onExtension && platform::equalsFoldingAscii(note.key, key))
        return &note;
    }
    return nullptr;
  }

  const InfoNote* firstKeptNote() const {
    for (const InfoNote& note : m_notes) {
      if (saysKeep(note.value) && firstNote(note.key, note.onExtension) == &note)
        return &note;
    }
    return nullptr;
  }

  const std::vector<InfoNote>& m_notes;
  std::set<std::string> m_ids;
  std::set<std::string> m_items;
  std::set<std::string> m_rules;
};

}  // namespace

std::vector<RuleProblem> checkRules(const std::vector<ScanItem>& items, const std::vector<CacheRule>& rules,
                                    const std::vector<InfoNote>& notes) {
  Checker checker(notes);
  for (const ScanItem& item : items)
    checker.item(item);
  for (size_t row = 0; row < rules.size(); ++row)
    checker.rule(row + 1, rules[row]);
  return std::move(checker.problems);
}

}  // namespace qinglan
