#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/CaselessName.h"
#include "platform/Codepage.h"
#include "platform/TextSplit.h"
#include "rules/RulesReader.h"
#include "scan/RulesCheck.h"
#include "search/Mask.h"

namespace qinglan {
namespace {

// What programs inside a content folder need to run, or what holds a user's data: no scan item
// may reach any of these, neither by the name itself nor by a folder on its way.
const char* const kProtectedPaths[] = {
    "game.exe",
    "Launcher.exe",
    "setup.exe",
    "unins000.exe",
    "unins000.dat",
    "UnityCrashHandler64.exe",
    "crashpad_handler.exe",
    "Engine/Binaries/Win64/CrashReportClient.exe",
    "bin/win64/engine.dll",
    "d3dx9_43.dll",
    "msvcp140.dll",
    "vcruntime140.dll",
    "xinput1_3.dll",
    "UnityPlayer.dll",
    "python27.dll",
    "log4net.dll",
    "NLog.config",
    "libcef.dll",
    "chrome_elf.dll",
    "cef.pak",
    "icudtl.dat",
    "snapshot_blob.bin",
    "v8_context_snapshot.bin",
    "locales/zh-CN.pak",
    "resources.pak",
    "AntiCheat/ac_driver.sys",
    "driver.sys",
    "data.pak",
    "Data/data001.pak",
    "Content/Paks/Game-WindowsNoEditor.pak",
    "Engine/GlobalShaderCache-PCD3D_SM5.bin",
    "Content/PipelineCaches/Windows/game.upipelinecache",
    "Engine/Shaders/ShaderArchive-Global-PCD3D_SM5.ushaderbytecode",
    "Game_Data/sharedassets0.assets",
    "Game_Data/globalgamemanagers",
    "Game_Data/resources.assets",
    "Game_Data/Managed/Assembly-CSharp.dll",
    "Game_Data/StreamingAssets/video.mp4",
    "Game_Data/Plugins/x86_64/steam_api64.dll",
    "archive.vpk",
    "sound/music.bnk",
    "movies/intro.bik",
    "data.001",
    "data.dat",
    "game.dat",
    "map.dat",
    "patch/patch001.dat",
    "game.lva",
    "res/ui.lva",
    "save/save001.sav",
    "Saves/slot1.sav",
    "SaveGames/profile.sav",
    "UserData/player.dat",
    "Saved/Config/WindowsNoEditor/GameUserSettings.ini",
    "Saved/SaveGames/slot0.sav",
    "config.ini",
    "Config/Engine.ini",
    "settings.json",
    "options.cfg",
    "user.cfg",
    "Resource.ini",
    "0.ico",
    "IconCache/0.ico",
    "fonts/simhei.ttf",
    "shaders/default.fxo",
    "Shaders/lighting.cso",
    "steam_appid.txt",
    "version.txt",
    "license.txt",
    "readme.txt",
    "templates/page.tmpl",
    "ui/thumbs/map01.png",
    "game/script.rpyc",
    "Update/updater.exe",
    "Update/version.ini",
    "Launcher/launcher.dll",
    "Launcher/Config/launcher.ini",
    "Cache/game.idx",
    "logo.png",
    "Logs.dll",
    "backup.dll",
    "tmp.dll",
    "Crash_Report.dll",
    "UECCLib.dll",
    "data.part1.rar",
    "cache.pak",
};

// Examples of the junk each scan item is meant to find.
const char* const kJunkPaths[] = {
    "Saved/Logs/Game.log",
    "Game_Data/output_log.txt",
    "debug.log.1",
    "log.txt",
    "tool/debug.txt",
    "~DF1234.tmp",
    "data.temp",
    "docs/~$readme.doc",
    "FOUND.000/FILE0001.CHK",
    "game.exe.dmp",
    "crash.mdmp",
    "report.wer",
    "CrashDumps",
    "Saved/Crashes",
    "Crash_2019-05-10_123456789",
    "UECC-Windows-1234",
    "images/Thumbs.db",
    "IconCache.db",
    ".DS_Store",
    "._game.exe",
    "config.ini.bak",
    "game.exe.old",
    "Makefile.orig",
    "patch.rej",
    "update.zip.part",
    "help/game.gid",
    "help/game.fts",
    "Setup.InstallLog",
    "$PLUGINSDIR",
    "perf.etl",
    "Temp/unpack/a.bin",
    "tmp/x",
    "cef_cache",
    "Saved/webcache_4430",
    "GPUCache",
    "Code Cache",
    "httpcache",
    "ShaderCache",
    "DerivedDataCache",
    "Update/Download/patch_2.zip",
    "Update/Backup/game.exe",
    "Launcher/Temp/page.html",
};

std::vector<std::string> splitPath(std::string_view path, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size() && !path.empty()) {
    std::size_t end = path.find(separator, start);
    if (end == std::string_view::npos)
      end = path.size();
    parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool sameAsciiCase(const std::string& a, const std::string& b) {
  return platform::asciiLower(a) == platform::asciiLower(b);
}

// True when the basic scan would list `path` (relative to a content folder, "/" between names),
// or a folder on its way, for this item: the path lies below the item's Folder and some name
// after that folder matches one of the masks.
bool itemReaches(const ScanItem& item, const std::string& path) {
  std::vector<std::string> root = splitPath(item.folder, '\\');
  std::vector<std::string> names = splitPath(path, '/');
  if (names.size() <= root.size())
    return false;
  if (!std::equal(root.begin(), root.end(), names.begin(), sameAsciiCase))
    return false;
  for (std::size_t i = root.size(); i < names.size(); ++i) {
    for (const std::string& mask : platform::splitLines(item.file)) {
      if (Mask(mask).matches(names[i]))
        return true;
    }
  }
  return false;
}

class ShippedDatabaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Opening runs two pragmas only: the shipped file is not changed.
    TSQLiteDatabase db(QINGLAN_BIN_DIR "/ccdb.db");
    s_items = readScanItems(db);
    s_rules = readCacheRules(db);
    for (const char* table : {"ccdb", "CacheClean", "Info"}) {
      auto info = db.Query(std::string("PRAGMA table_info(") + table + ")");
      for (info->FirstRow(); !info->AtEnd(); info->NextRow()) {
        s_columns.emplace_back(std::string(table) + "." + info->ValueByName("name"),
                               info->ValueByName("type"));
      }
    }
    auto notes = db.Query("SELECT * FROM Info");
    for (notes->FirstRow(); !notes->AtEnd(); notes->NextRow()) {
      s_notes.push_back(
          {notes->ValueByName("KeyName"), notes->ValueByName("KeyValue"), notes->ValueByName("Px")});
    }
    auto raw = db.Query(selectCacheCleanSql());
    for (raw->FirstRow(); !raw->AtEnd(); raw->NextRow())
      s_rawDes.push_back(raw->ValueByName("Des"));
  }

  struct Note {
    std::string key, value, px;
  };

  static std::vector<ScanItem> s_items;
  static std::vector<CacheRule> s_rules;
  static std::vector<std::pair<std::string, std::string>> s_columns;
  static std::vector<Note> s_notes;
  static std::vector<std::string> s_rawDes;
};

std::vector<ScanItem> ShippedDatabaseTest::s_items;
std::vector<CacheRule> ShippedDatabaseTest::s_rules;
std::vector<std::pair<std::string, std::string>> ShippedDatabaseTest::s_columns;
std::vector<ShippedDatabaseTest::Note> ShippedDatabaseTest::s_notes;
std::vector<std::string> ShippedDatabaseTest::s_rawDes;

TEST_F(ShippedDatabaseTest, SchemaDeclaresIntegersAndTexts) {
  using Column = std::pair<std::string, std::string>;
  EXPECT_THAT(
      s_columns,
      ::testing::UnorderedElementsAre(
          Column{"ccdb.Id", "INTEGER"}, Column{"ccdb.Name", "TEXT"}, Column{"ccdb.UnScan", "INTEGER"},
          Column{"ccdb.Folder", "TEXT"}, Column{"ccdb.File", "TEXT"}, Column{"CacheClean.dir", "TEXT"},
          Column{"CacheClean.FileName", "TEXT"}, Column{"CacheClean.Des", "TEXT"},
          Column{"Info.KeyName", "TEXT"}, Column{"Info.KeyValue", "TEXT"}, Column{"Info.Px", "INTEGER"}));
}

TEST_F(ShippedDatabaseTest, ScanItemsAreWellFormed) {
  EXPECT_GE(s_items.size(), 30u);
  std::set<std::string> ids;
  for (const ScanItem& item : s_items) {
    SCOPED_TRACE(item.id + " " + item.name);
    EXPECT_TRUE(ids.insert(item.id).second) << "duplicate Id";
    EXPECT_TRUE(item.unScan == "0" || item.unScan == "1");
    EXPECT_FALSE(item.name.empty());
    EXPECT_TRUE(platform::isValidUtf8(item.name));
    EXPECT_EQ(item.folder.find('/'), std::string::npos);
    if (!item.folder.empty()) {
      EXPECT_NE(item.folder.front(), '\\');
      EXPECT_NE(item.folder.back(), '\\');
    }
    std::vector<std::string> masks = platform::splitLines(item.file);
    EXPECT_FALSE(masks.empty());
    for (const std::string& mask : masks) {
      EXPECT_TRUE(Mask(mask).valid()) << mask;
      EXPECT_FALSE(mask.empty());
      EXPECT_NE(mask, "*.*") << "in a list it may let every folder through";
    }
  }
}

TEST_F(ShippedDatabaseTest, NoScanItemReachesWhatProgramsNeed) {
  for (const ScanItem& item : s_items) {
    for (const char* path : kProtectedPaths) {
      EXPECT_FALSE(itemReaches(item, path)) << item.id << " " << item.name << " reaches " << path;
    }
  }
}

TEST_F(ShippedDatabaseTest, EveryScanItemFindsItsKindOfJunk) {
  for (const ScanItem& item : s_items) {
    bool found = std::any_of(std::begin(kJunkPaths), std::end(kJunkPaths),
                             [&](const char* path) { return itemReaches(item, path); });
    EXPECT_TRUE(found) << item.id << " " << item.name;
  }
  for (const char* path : kJunkPaths) {
    bool found =
        std::any_of(s_items.begin(), s_items.end(), [&](const ScanItem& i) { return itemReaches(i, path); });
    EXPECT_TRUE(found) << path;
  }
}

TEST_F(ShippedDatabaseTest, CacheRulesAreStoredAsGbkAndWellFormed) {
  EXPECT_GE(s_rules.size(), 20u);
  ASSERT_EQ(s_rawDes.size(), s_rules.size());
  for (std::size_t i = 0; i < s_rules.size(); ++i) {
    const CacheRule& rule = s_rules[i];
    SCOPED_TRACE(rule.dir);
    EXPECT_FALSE(platform::isValidUtf8(s_rawDes[i])) << "Des is stored as GBK bytes";
    EXPECT_EQ(platform::utf8ToGbk(rule.des), s_rawDes[i]);
    EXPECT_FALSE(rule.dir.empty());
    EXPECT_NE(rule.dir.front(), '\\');
    EXPECT_NE(rule.dir.back(), '\\');
    for (const std::string& mask : platform::splitLines(rule.fileName)) {
      EXPECT_TRUE(Mask(mask).valid()) << mask;
      EXPECT_FALSE(mask.empty());
    }
  }
}

// The review the build runs: no cache rule at a user's folder, no video, music or document
// masks, no mask of every name at a drive root, nothing that takes programs' files.
TEST_F(ShippedDatabaseTest, NoRowReachesWhatProgramsOrPeopleKeep) {
  TSQLiteDatabase db(QINGLAN_BIN_DIR "/ccdb.db");
  for (const RuleProblem& problem : checkRules(s_items, s_rules, readNotes(db)))
    ADD_FAILURE() << problem.where << ": " << problem.what;
}

TEST_F(ShippedDatabaseTest, NotesCoverNamesAndExtensions) {
  EXPECT_GE(s_notes.size(), 60u);
  std::set<std::pair<std::string, std::string>> keys;
  int names = 0;
  int extensions = 0;
  for (const Note& note : s_notes) {
    SCOPED_TRACE(note.key);
    EXPECT_TRUE(keys.insert({platform::asciiLower(note.key), note.px}).second)
        << "a second note would never be shown";
    EXPECT_FALSE(note.value.empty());
    EXPECT_TRUE(platform::isValidUtf8(note.value));
    if (note.px == "1") {
      ++extensions;
      EXPECT_EQ(fileExtension(note.key), note.key) << "an extension is one leading point and no other";
    } else {
      ++names;
      EXPECT_EQ(note.px, "0");
    }
  }
  EXPECT_GE(names, 20);
  EXPECT_GE(extensions, 20);
}

TEST_F(ShippedDatabaseTest, NotesAreFoundForFindings) {
  TSQLiteDatabase db(QINGLAN_BIN_DIR "/ccdb.db");
  EXPECT_THAT(lookupNote(db, "It's.TMP"), ::testing::HasSubstr("临时文件"));
  EXPECT_THAT(lookupNote(db, "THUMBS.DB"), ::testing::HasSubstr("缩略图"));
  EXPECT_THAT(lookupNote(db, "sample.db"), ::testing::HasSubstr("数据库"));
}

}  // namespace
}  // namespace qinglan
