#include "scan/FindingDetails.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "rules/SQLiteTable3.h"
#include "scan/ResultsRow.h"
#include "support/RecordingScanFront.h"
#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

class FindingDetailsTest : public ::testing::Test {
 protected:
  FindingDetailsTest() {
    m_settings.cloudCachePath = m_dir.path("CloudCache");
    m_settings.dbFileName = m_dir.path("ccdb.db");
    m_dir.writeFile("CloudCache/1001/Resource.ini", platform::utf8ToGbk("[Info]\r\nResourceName=示例\r\n"));
    m_dir.writeFile("CloudCache/1002/Resource.ini", "[Ctrol]\r\nStpLink=x\r\n");
  }

  std::string origin(const std::string& relativeLocation) const {
    return findingOrigin(m_settings.cloudCachePath, m_dir.path(relativeLocation));
  }

  ResultsRow finding(const std::string& name, const std::string& relativeLocation) const {
    ResultsRow row;
    row.name = name;
    row.location = m_dir.path(relativeLocation);
    return row;
  }

  test::TempDir m_dir;
  ScanSettings m_settings;
  test::RecordingScanFront m_view;
};

TEST_F(FindingDetailsTest, TheOriginIsTheResourceOfTheFirstFolderBelowTheCache) {
  EXPECT_EQ(origin("CloudCache/1001/0/"), "示例");
  EXPECT_EQ(origin("CloudCache/1001/0/deep/er/"), "示例");
  EXPECT_EQ(origin("CloudCache/1001/"), "示例");
  EXPECT_EQ(origin("CloudCache/1002/1/"), "未知");  // no ResourceName
  EXPECT_EQ(origin("CloudCache/1003/0/"), "未知");  // no Resource.ini
  EXPECT_EQ(origin("CloudCache/"), "未知");
  EXPECT_EQ(origin("CloudCache2/1001/0/"), "未知");
  EXPECT_EQ(origin("Temp/"), "未知");
  // After a cache switch, or without a cache, a row still tells the cache it came from.
  EXPECT_EQ(findingOrigin("", m_dir.path("CloudCache/1001/0/")), "示例");
  EXPECT_EQ(findingOrigin(m_dir.path("other/CloudCache"), m_dir.path("CloudCache/1001/0/")), "示例");
  m_dir.writeFile("d/cloudcache/7/Resource.ini", "[Info]\r\nResourceName=Seven\r\n");
  EXPECT_EQ(findingOrigin(m_settings.cloudCachePath, m_dir.path("d/cloudcache/7/0/")), "Seven");
}

TEST_F(FindingDetailsTest, TheNoteComesFromTheRuleElseTheWholeNameElseTheExtension) {
  test::writeInfoNotes(m_settings.dbFileName, {{"thumbs.db", "缩略图缓存", 0},
                                               {".db", "数据库文件", 1},
                                               {"it's.tmp", "", 0},
                                               {".tmp", "临时文件", 1},
                                               {"", "没有扩展名的文件", 1},
                                               {"Temp", "临时文件夹", 0}});
  struct Case {
    std::string name;
    std::string note;
    std::string ruleNote = {};
    std::string ruleNoteKey = {};
  };
  for (const Case& c :
       {Case{"Thumbs.DB", "缩略图缓存"}, Case{"other.DB", "数据库文件"}, Case{"It's.TMP", "临时文件"},
        Case{"README", "没有扩展名的文件"}, Case{"a.unknown", ""},
        Case{"other.db", "播放缓存", "播放缓存", "temp"}, Case{"other.db", "临时文件夹", "", "TEMP"},
        Case{"other.db", "数据库文件", "", "Update\\Download"}}) {
    ResultsRow row = finding(c.name, "CloudCache/1001/0/");
    row.ruleNote = c.ruleNote;
    row.ruleNoteKey = c.ruleNoteKey;
    showFindingDetails(m_settings, row, m_view);
    EXPECT_EQ(m_view.origin, "您当前选择的文件来自: 示例");
    EXPECT_EQ(m_view.note, c.note) << c.name;
  }
}

TEST_F(FindingDetailsTest, ADatabaseErrorComesAfterTheOriginIsShownAndThePreviousNoteCleared) {
  {
    TSQLiteDatabase db(m_settings.dbFileName, TSQLiteDatabase::OpenMode::Create);
    db.Execute("CREATE TABLE ccdb (Id INTEGER)");
  }
  m_view.note = "上一行的说明";

  EXPECT_THROW(showFindingDetails(m_settings, finding("a.log", "Temp/"), m_view), ESQLiteException);
  EXPECT_EQ(m_view.events, (std::vector<std::string>{"origin=您当前选择的文件来自: 未知", "note="}));

  // A missing database stays missing.
  std::filesystem::remove(m_settings.dbFileName);
  EXPECT_THROW(showFindingDetails(m_settings, finding("a.log", "Temp/"), m_view), ESQLiteException);
  EXPECT_FALSE(std::filesystem::exists(m_settings.dbFileName));
}

}  // namespace
}  // namespace qinglan
