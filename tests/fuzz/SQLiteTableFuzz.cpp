#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "FuzzScratch.h"
#include "rules/RulesReader.h"
#include "rules/SQLiteTable3.h"

namespace qinglan::fuzz {
namespace {

// One folder for the whole run; each input replaces the database file and its companions.
class ScratchDatabase {
 public:
  ScratchDatabase() : m_folder(makeScratchFolder("sqlite-fuzz")) { m_path = m_folder + "/ccdb.db"; }
  ~ScratchDatabase() {
    removeFiles();
    ::rmdir(m_folder.c_str());
  }
  const std::string& write(std::string_view bytes) const {
    removeFiles();
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
    return m_path;
  }

 private:
  void removeFiles() const {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
      ::unlink((m_path + suffix).c_str());
  }

  std::string m_folder;
  std::string m_path;
};

std::string quotedName(std::string_view name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"')
      quoted += '"';
  }
  return quoted + "\"";
}

// Reads every cell of every row and finds every column by name; a short read would raise.
void readWhole(TSQLiteTable& table) {
  for (bool more = table.FirstRow(); more && !table.AtEnd(); more = table.NextRow()) {
    for (uint32_t column = 0; column < table.ColumnCount(); ++column)
      table.ValueText(column);
    for (const std::string& name : table.ColumnNames())
      FUZZ_CHECK(table.ColumnIndex(name) < table.ColumnCount());
  }
  FUZZ_CHECK(table.AtEnd() || table.RowCount() == 0);
}

template <typename Read>
void ignoringDatabaseErrors(Read read) {
  try {
    read();
  } catch (const ESQLiteException&) {
  }
}

}  // namespace

int fuzzSqliteTable(const uint8_t* data, size_t size) {
  static const ScratchDatabase scratch;
  const std::string& path = scratch.write(std::string_view(reinterpret_cast<const char*>(data), size));
  std::unique_ptr<TSQLiteDatabase> db;
  ignoringDatabaseErrors([&] { db = std::make_unique<TSQLiteDatabase>(path, 0); });
  if (!db)
    return 0;

  std::vector<std::string> tables;
  ignoringDatabaseErrors([&] {
    const auto master = db->Query("SELECT * FROM sqlite_master");
    readWhole(*master);
    for (master->FirstRow(); !master->AtEnd(); master->NextRow()) {
      if (master->ValueByName("type") == "table")
        tables.push_back(master->ValueByName("name"));
    }
  });
  for (const std::string& table : tables)
    ignoringDatabaseErrors([&] { readWhole(*db->Query("SELECT * FROM " + quotedName(table))); });

  ignoringDatabaseErrors([&] { readScanItems(*db); });
  ignoringDatabaseErrors([&] { readCacheRules(*db); });
  ignoringDatabaseErrors([&] { lookupNote(*db, "Setup.LOG"); });
  return 0;
}

}  // namespace qinglan::fuzz
