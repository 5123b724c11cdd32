// Builds ccdb.db from the SQL text sources: generate_rules_db SCHEMA.sql CONTENT.sql OUTPUT.db
// The CacheClean texts are written in UTF-8 in the sources and stored as GBK bytes, as the
// program reads them. The output is written beside its final name and renamed into place, so a
// failed run never leaves a half-built database behind.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <sqlite3.h>

#include "platform/Codepage.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class Connection {
 public:
  explicit Connection(const std::string& path) {
    if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK)
      fail("open " + path);
  }
  ~Connection() { sqlite3_close(m_db); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void exec(const std::string& sql, const std::string& what) {
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error != nullptr ? error : "unknown error";
      sqlite3_free(error);
      throw std::runtime_error(what + ": " + message);
    }
  }

  // Rewrites the three CacheClean texts of every row from UTF-8 to GBK.
  void storeCacheCleanAsGbk() {
    sqlite3_stmt* select = prepare("SELECT rowid, dir, FileName, Des FROM CacheClean");
    sqlite3_stmt* update = prepare("UPDATE CacheClean SET dir=?1, FileName=?2, Des=?3 WHERE rowid=?4");
    int result;
    while ((result = sqlite3_step(select)) == SQLITE_ROW) {
      for (int column = 1; column <= 3; ++column) {
        std::string gbk = toGbk(reinterpret_cast<const char*>(sqlite3_column_text(select, column)));
        sqlite3_bind_text(update, column, gbk.data(), static_cast<int>(gbk.size()), SQLITE_TRANSIENT);
      }
      sqlite3_bind_int64(update, 4, sqlite3_column_int64(select, 0));
      if (sqlite3_step(update) != SQLITE_DONE)
        fail("update CacheClean");
      sqlite3_reset(update);
    }
    sqlite3_finalize(update);
    sqlite3_finalize(select);
    if (result != SQLITE_DONE)
      fail("read CacheClean");
  }

 private:
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
      fail(sql);
    return statement;
  }

  static std::string toGbk(const char* utf8) {
    std::string text = utf8 != nullptr ? utf8 : "";
    std::string gbk = qinglan::platform::utf8ToGbk(text);
    if (qinglan::platform::gbkToUtf8(gbk) != text)
      throw std::runtime_error("not representable in GBK: " + text);
    return gbk;
  }

  [[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + (m_db != nullptr ? sqlite3_errmsg(m_db) : "out of memory"));
  }

  sqlite3* m_db = nullptr;
};

void generate(const std::string& schemaPath, const std::string& contentPath, const std::string& outputPath) {
  std::string building = outputPath + ".building";
  std::filesystem::remove(building);
  {
    Connection db(building);
    db.exec(readFile(schemaPath), schemaPath);
    db.exec("BEGIN", "begin");
    db.exec(readFile(contentPath), contentPath);
    db.storeCacheCleanAsGbk();
    db.exec("COMMIT", "commit");
  }
  std::filesystem::rename(building, outputPath);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " SCHEMA.sql CONTENT.sql OUTPUT.db\n";
    return 2;
  }
  try {
    generate(argv[1], argv[2], argv[3]);
  } catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << '\n';
    return 1;
  }
  return 0;
}
