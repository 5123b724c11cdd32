#include "rules/RulesSql.h"

#include <gtest/gtest.h>

namespace qinglan {
namespace {

TEST(RulesSqlTest, TableStatements) {
  EXPECT_EQ(selectAllSql("ccdb"), "SELECT * FROM ccdb");
  EXPECT_EQ(updateUnScanSql("ccdb", "7", false), "update ccdb set UnScan=1 where id=7");
  EXPECT_EQ(updateUnScanSql("ccdb", "12", true), "update ccdb set UnScan=0 where id=12");
  EXPECT_EQ(selectCacheCleanSql(), "SELECT * FROM CacheClean");
  EXPECT_EQ(restoreUnScanSql("7", true), "UPDATE ccdb SET UnScan=1 WHERE Id='7'");
  EXPECT_EQ(restoreUnScanSql("it's", false), "UPDATE ccdb SET UnScan=0 WHERE Id='it''s'");
  EXPECT_EQ(setUserVersionSql(-3), "PRAGMA user_version=-3");
}

struct LookupCase {
  const char* fileName;
  const char* byName;       // the quoted key of the whole-name lookup
  const char* byExtension;  // the quoted key of the extension lookup
};

TEST(RulesSqlTest, LookupsLowerCaseAsciiAndQuote) {
  const LookupCase cases[] = {
      {"It's.TMP", "'it''s.tmp'", "'.tmp'"},
      {"README", "'readme'", "''"},
      {"archive.tar.GZ", "'archive.tar.gz'", "'.gz'"},
      {".DS_Store", "'.ds_store'", "'.ds_store'"},
      {"trailing.", "'trailing.'", "'.'"},
      {"a.B'C", "'a.b''c'", "'.b''c'"},
      {"日志ÄB.LOG", "'日志Äb.log'", "'.log'"},  // only A to Z change; UTF-8 bytes stay
      {"", "''", "''"},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.fileName);
    EXPECT_EQ(infoByNameSql(c.fileName),
              std::string("SELECT * FROM Info where LOWER(KeyName) =") + c.byName + " and Px=0");
    EXPECT_EQ(infoByExtensionSql(c.fileName),
              std::string("SELECT * FROM Info where LOWER(KeyName) =") + c.byExtension + " and Px=1");
  }
}

}  // namespace
}  // namespace qinglan
