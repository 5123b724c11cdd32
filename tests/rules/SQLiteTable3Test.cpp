#include "rules/SQLiteTable3.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/RulesDbFile.h"
#include "support/TempDir.h"

namespace qinglan {
namespace {

using test::TempDir;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class SQLiteTable3Test : public ::testing::Test {
 protected:
  std::string dbPath() const { return m_dir.path("rules.db"); }

  // A table of scan items with rows 1 "a" and 2 "b".
  std::unique_ptr<TSQLiteDatabase> openWithItems() {
    auto db = std::make_unique<TSQLiteDatabase>(dbPath(), TSQLiteDatabase::OpenMode::Create);
    db->Execute("CREATE TABLE ccdb (Id INTEGER, Name TEXT, UnScan INTEGER)");
    db->Execute("INSERT INTO ccdb VALUES (1, 'a', 0), (2, 'b', 1)");
    return db;
  }

  TempDir m_dir;
};

TEST_F(SQLiteTable3Test, MissingFileIsCreatedEmptyWithItsFoldersAndItsTablesAreMissing) {
  std::string path = m_dir.path("new/deeper/ccdb.db");
  TSQLiteDatabase db(path, 1000, "", TSQLiteDatabase::OpenMode::Create);
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(test::errorOf([&] { db.Query("SELECT * FROM ccdb"); }),
            "Error executing SQL \"SELECT * FROM ccdb\" : no such table: ccdb");
}

TEST_F(SQLiteTable3Test, MissingFileOpenedAsExistingIsNamedAndNeverCreated) {
  for (const std::string relative : {"ccdb.db", "gone/ccdb.db"}) {
    std::string path = m_dir.path(relative);
    EXPECT_EQ(test::errorOf([&] { TSQLiteDatabase db(path); }), "找不到规则数据库 ccdb.db\n" + path);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(m_dir.path("gone")));
  }
}

TEST_F(SQLiteTable3Test, FileThatIsNotADatabaseFailsAtTheFirstPragma) {
  std::string path = m_dir.writeFile("ccdb.db", std::string(4096, 'x'));
  std::string message = test::errorOf([&] { TSQLiteDatabase db(path); });
  EXPECT_THAT(message, HasSubstr("\"PRAGMA SYNCHRONOUS=NORMAL;\" : "));
  EXPECT_THAT(message, HasSubstr("not a database"));
}

TEST_F(SQLiteTable3Test, OpenFailureNamesThePath) {
  // A regular file where a folder of the path should be: neither the folder nor the file can be made.
  m_dir.writeFile("blocker");
  std::string path = m_dir.path("blocker/ccdb.db");
  EXPECT_EQ(test::errorOf([&] { TSQLiteDatabase db(path, TSQLiteDatabase::OpenMode::Create); }),
            "Failed to open database \"" + path + "\" : unable to open database file");
}

TEST_F(SQLiteTable3Test, KeyedDatabasesAreRefusedBeforeTheFileIsTouched) {
  std::string message = test::errorOf([&] { TSQLiteDatabase db(dbPath(), 1000, "secret"); });
  EXPECT_THAT(message, HasSubstr("keyed (encrypted) databases are not supported"));
  EXPECT_FALSE(std::filesystem::exists(dbPath()));
}

TEST_F(SQLiteTable3Test, StatementErrorsCarryTheStatementAndSQLitesText) {
  TSQLiteDatabase db(dbPath(), TSQLiteDatabase::OpenMode::Create);
  EXPECT_EQ(test::errorOf([&] { db.Execute(""); }), "Could not prepare SQL statement");
  EXPECT_EQ(test::errorOf([&] { db.Execute("  -- nothing but a comment\n"); }),
            "Could not prepare SQL statement");
  EXPECT_EQ(test::errorOf([&] { db.Query(" "); }), "Could not prepare SQL statement");
  EXPECT_EQ(test::errorOf([&] { db.Execute("SELEC 1"); }),
            "SQL error or missing database \"SELEC 1\" : near \"SELEC\": syntax error");
  EXPECT_EQ(test::errorOf([&] { db.Query("SELEC 1"); }),
            "Error executing SQL \"SELEC 1\" : near \"SELEC\": syntax error");
  db.Execute("CREATE TABLE t (a INTEGER UNIQUE)");
  db.Execute("INSERT INTO t VALUES (1)");
  EXPECT_THAT(
      test::errorOf([&] { db.Execute("INSERT INTO t VALUES (1)"); }),
      StartsWith("Abort due to contraint violation \"INSERT INTO t VALUES (1)\" : UNIQUE constraint failed"));
  EXPECT_THAT(test::errorOf([&] { db.Query("INSERT INTO t VALUES (1)"); }),
              StartsWith("Could not retrieve data \"INSERT INTO t VALUES (1)\" : UNIQUE constraint failed"));
  EXPECT_THAT(test::errorOf([&] { db.Execute("SELECT a FROM t"); }),
              StartsWith("sqlite3_step() has another row ready"));
}

TEST_F(SQLiteTable3Test, OnlyTheFirstStatementOfATextRuns) {
  auto db = openWithItems();
  db->Execute("DELETE FROM ccdb WHERE Id=1; DELETE FROM ccdb");
  auto table = db->Query("SELECT Name FROM ccdb; DROP TABLE ccdb");
  ASSERT_EQ(table->RowCount(), 1u);
  EXPECT_EQ(table->ValueByName("Name"), "b");
  EXPECT_EQ(db->Query("SELECT count(*) AS n FROM ccdb")->ValueByName("n"), "1");
}

TEST_F(SQLiteTable3Test, UpdateThroughQueryRunsOnceCommitsAndGivesAnEmptyTable) {
  auto db = openWithItems();
  auto table = db->Query("update ccdb set UnScan=UnScan+1 where id=2");
  EXPECT_EQ(table->RowCount(), 0u);
  EXPECT_EQ(table->ColumnCount(), 0u);
  EXPECT_TRUE(table->ColumnNames().empty());
  TSQLiteDatabase other(dbPath());
  EXPECT_EQ(other.Query("SELECT UnScan FROM ccdb WHERE Id=2")->ValueByName("UnScan"), "2");
}

TEST_F(SQLiteTable3Test, CursorWalksRewindsAndStopsAtTheEnd) {
  auto table = openWithItems()->Query("SELECT * FROM ccdb");
  ASSERT_EQ(table->RowCount(), 2u);
  EXPECT_EQ(table->ValueByName("Name"), "a");  // a new table stands on row 0
  EXPECT_TRUE(table->NextRow());
  EXPECT_EQ(table->ValueByName("Name"), "b");
  EXPECT_TRUE(table->NextRow());
  EXPECT_TRUE(table->AtEnd());
  EXPECT_FALSE(table->NextRow());
  EXPECT_EQ(test::errorOf([&] { table->ValueText(0); }), "Table is at End of File");
  EXPECT_TRUE(table->FirstRow());
  EXPECT_EQ(table->ValueByName("Id"), "1");
}

TEST_F(SQLiteTable3Test, EmptyResultHasNoColumnsToFind) {
  auto table = openWithItems()->Query("SELECT * FROM ccdb WHERE Id=99");
  EXPECT_EQ(table->RowCount(), 0u);
  EXPECT_FALSE(table->FirstRow());
  EXPECT_TRUE(table->AtEnd());
  EXPECT_EQ(test::errorOf([&] { table->ValueByName("Id"); }), "Field Id Not found. Empty dataset");
}

TEST_F(SQLiteTable3Test, ColumnsAreFoundIgnoringCase) {
  auto table = openWithItems()->Query("SELECT * FROM ccdb");
  EXPECT_EQ(table->ColumnNames(), (std::vector<std::string>{"ID", "NAME", "UNSCAN"}));
  EXPECT_EQ(table->ColumnIndex("unscan"), 2u);
  EXPECT_EQ(table->ValueByName("uNsCaN"), "0");
  EXPECT_EQ(test::errorOf([&] { table->ValueByName("Nothing"); }), "Field not found in dataset: Nothing");
  EXPECT_EQ(test::errorOf([&] { table->ValueText(3); }), "Column index out of range: 3");
}

TEST_F(SQLiteTable3Test, TableOutlivesItsConnection) {
  std::unique_ptr<TSQLiteTable> table = openWithItems()->Query("SELECT * FROM ccdb");
  table->NextRow();
  EXPECT_EQ(table->ValueByName("Name"), "b");
}

struct KindCase {
  const char* column;
  ColumnKind kind;
  std::string value;      // read from the row of values
  const char* nullValue;  // read from the row of NULLs
};

// Kinds come from the whole declared type in any case; SQLite converts each
// value to the form its column's kind asks for.
TEST_F(SQLiteTable3Test, ColumnKindsComeFromDeclaredTypes) {
  TSQLiteDatabase db(dbPath(), TSQLiteDatabase::OpenMode::Create);
  db.Execute(
      "CREATE TABLE k (i INTEGER, lower integer, lowerNumeric numeric, lowerBool boolean, b BOOLEAN, n "
      "NUMERIC, f FLOAT,"
      " d DOUBLE, r REAL, bl BLOB, empty BLOB, t TEXT, v VARCHAR(50), it INT, nt)");
  db.Execute(
      "INSERT INTO k VALUES ('12', 5, 1.5, 1, 1, 1.5, 1e20, -2.5e-7, 0.1, x'00414200', x'', 1,"
      " CAST(x'610062' AS TEXT), 7, 3.25)");
  std::string nulls = "NULL";
  for (int column = 1; column < 15; ++column)
    nulls += ", NULL";
  db.Execute("INSERT INTO k VALUES (" + nulls + ")");
  const KindCase cases[] = {
      {"i", ColumnKind::Integer, "12", "0"},
      // SQLite reports the standard type names (INT, INTEGER, REAL, TEXT, BLOB) in capitals, however
      // they were declared; other names come back as written.
      {"lower", ColumnKind::Integer, "5", "0"},
      {"lowerNumeric", ColumnKind::Float, "1.5", "0"},
      {"lowerBool", ColumnKind::Integer, "1", "0"},
      {"b", ColumnKind::Integer, "1", "0"},
      {"n", ColumnKind::Float, "1.5", "0"},
      {"f", ColumnKind::Float, "1E20", "0"},
      {"d", ColumnKind::Float, "-2.5E-7", "0"},
      {"r", ColumnKind::Float, "0.1", "0"},
      {"bl", ColumnKind::Blob, std::string("\0AB\0", 4), ""},  // every byte of a blob
      {"empty", ColumnKind::Blob, "", ""},
      {"t", ColumnKind::Text, "1", ""},
      {"v", ColumnKind::Text, "a", ""},  // text ends at its first NUL byte
      {"it", ColumnKind::Text, "7", ""},
      {"nt", ColumnKind::Float, "3.25", "0"},  // no declared type: the first row's storage class
  };
  auto table = db.Query("SELECT * FROM k");
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.column);
    EXPECT_EQ(table->ColumnKindAt(table->ColumnIndex(c.column)), c.kind);
    table->FirstRow();
    EXPECT_EQ(table->ValueByName(c.column), c.value);
    table->NextRow();
    EXPECT_EQ(table->ValueByName(c.column), c.nullValue);
  }
}

TEST_F(SQLiteTable3Test, ExpressionColumnTakesTheKindOfItsFirstValue) {
  TSQLiteDatabase db(dbPath(), TSQLiteDatabase::OpenMode::Create);
  auto table = db.Query("SELECT NULL AS x, 7 AS y UNION ALL SELECT 5, 'text'");
  EXPECT_EQ(table->ColumnKindAt(0), ColumnKind::Null);
  EXPECT_EQ(table->ColumnKindAt(1), ColumnKind::Integer);
  table->NextRow();
  EXPECT_EQ(table->ValueByName("x"), "");   // a Null column reads empty on every row
  EXPECT_EQ(table->ValueByName("y"), "0");  // 'text' read as an integer
}

// Made elsewhere: a view that never ends, and a trigger that would change rows behind an update.
TEST_F(SQLiteTable3Test, ViewsAndTriggersOfTheFileNeverRun) {
  {
    auto db = openWithItems();
    db->Execute(
        "CREATE VIEW endless AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n "
        "FROM r");
    db->Execute("CREATE TRIGGER wipe AFTER UPDATE ON ccdb BEGIN DELETE FROM ccdb; END");
  }
  TSQLiteDatabase db(dbPath());
  EXPECT_THAT(test::errorOf([&] { db.Query("SELECT * FROM endless"); }), StartsWith("Error executing SQL"));
  db.Query("update ccdb set UnScan=0 where id=2");
  EXPECT_EQ(db.Query("SELECT * FROM ccdb")->RowCount(), 2u);
}

TEST(FloatTextTest, FifteenDigitsPointAndCapitalE) {
  const std::pair<double, const char*> cases[] = {
      {1.5, "1.5"},
      {1e20, "1E20"},
      {0.1, "0.1"},
      {-2.5e-7, "-2.5E-7"},
      {100, "100"},
      {0, "0"},
      {1.0 / 3, "0.333333333333333"},
      {123456789012345678.0, "1.23456789012346E17"},
      {1e14, "100000000000000"},
      {1e15, "1E15"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {1e-300, "1E-300"},
  };
  for (const auto& [value, text] : cases)
    EXPECT_EQ(floatText(value), text) << value;
}

TEST(SQLiteResultTextTest, DescribesKnownAndUnknownCodes) {
  EXPECT_EQ(SQLiteResultText(0), "Successful result");
  EXPECT_EQ(SQLiteResultText(5), "The database file is locked");
  EXPECT_EQ(SQLiteResultText(19), "Abort due to contraint violation");
  EXPECT_EQ(SQLiteResultText(26), "File opened that is not a database file");
  EXPECT_EQ(SQLiteResultText(100), "sqlite3_step() has another row ready");
  EXPECT_EQ(SQLiteResultText(101), "sqlite3_step() has finished executing");
  EXPECT_EQ(SQLiteResultText(27), "Unknown SQLite Error Code \"27\"");
  EXPECT_EQ(SQLiteResultText(-1), "Unknown SQLite Error Code \"-1\"");
}

TEST_F(SQLiteTable3Test, LockedDatabaseFailsAfterTheBusyTimeOut) {
  auto db = openWithItems();
  db->SetBusyTimeout(0);
  db->Query("SELECT * FROM ccdb");  // the schema is read now, so the next statements prepare without a lock
  TSQLiteDatabase holder(dbPath());
  holder.Execute("BEGIN EXCLUSIVE");
  EXPECT_EQ(test::errorOf([&] { db->Query("SELECT * FROM ccdb"); }), "Could not prepare SQL statement");
  EXPECT_EQ(test::errorOf([&] { db->Execute("DELETE FROM ccdb"); }),
            "The database file is locked \"DELETE FROM ccdb\" : database is locked");
  holder.Execute("ROLLBACK");
  EXPECT_EQ(db->Query("SELECT count(*) AS n FROM ccdb")->ValueByName("n"), "2");
}

}  // namespace
}  // namespace qinglan
