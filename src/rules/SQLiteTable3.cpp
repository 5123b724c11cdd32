#include "rules/SQLiteTable3.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <system_error>

#include <sqlite3.h>

#include "platform/NativePath.h"
#include "rules/RulesSql.h"

namespace qinglan {

namespace {

constexpr std::array<std::string_view, 27> kResultTexts = {
    "Successful result",
    "SQL error or missing database",
    "An internal logic error in SQLite",
    "Access permission denied",
    "Callback routine requested an abort",
    "The database file is locked",
    "A table in the database is locked",
    "A malloc() failed",
    "Attempt to write a readonly database",
    "Operation terminated by sqlite3_interrupt()",
    "Some kind of disk I/O error occurred",
    "The database disk image is malformed",
    "(Internal Only) Table or record not found",
    "Insertion failed because database is full",
    "Unable to open the database file",
    "Database lock protocol error",
    "Database is empty",
    "The database schema changed",
    "Too much data for one row of a table",
    "Abort due to contraint violation",
    "Data type mismatch",
    "Library used incorrectly",
    "Uses OS features not supported on host",
    "Authorization denied",
    "Auxiliary database format error",
    "2nd parameter to sqlite3_bind out of range",
    "File opened that is not a database file",
};

char asciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string asciiUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = asciiUpper(c);
  return result;
}

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Compiles the first statement of the text; whatever follows it is ignored.
Statement prepareFirst(const TSQLiteDatabase& database, const std::string& sql, const std::string& failure) {
  sqlite3_stmt* raw = nullptr;
  int code = sqlite3_prepare_v2(database.handle(), sql.c_str(), -1, &raw, nullptr);
  Statement statement(raw);
  if (code != SQLITE_OK)
    database.RaiseStatementError(failure.empty() ? SQLiteResultText(code) : failure, sql);
  if (!statement)
    database.RaiseStatementError("Could not prepare SQL statement", sql);
  return statement;
}

ColumnKind kindFromDeclaredType(sqlite3_stmt* statement, int column) {
  const char* declared = sqlite3_column_decltype(statement, column);
  if (declared == nullptr)
    return static_cast<ColumnKind>(sqlite3_column_type(statement, column));
  // SQLite hands back only its standard type names in capitals; the others come as the table
  // declares them, so `numeric` or `boolean` must match as well as `NUMERIC` or `BOOLEAN`.
  const std::string type = asciiUpper(declared);
  if (type == "INTEGER" || type == "BOOLEAN")
    return ColumnKind::Integer;
  if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL")
    return ColumnKind::Float;
  if (type == "BLOB")
    return ColumnKind::Blob;
  return ColumnKind::Text;
}

}  // namespace

std::string SQLiteResultText(int code) {
  if (code >= 0 && code < static_cast<int>(kResultTexts.size()))
    return std::string(kResultTexts[code]);
  if (code == SQLITE_ROW)
    return "sqlite3_step() has another row ready";
  if (code == SQLITE_DONE)
    return "sqlite3_step() has finished executing";
  return "Unknown SQLite Error Code \"" + std::to_string(code) + "\"";
}

std::string floatText(double value) {
  std::array<char, 64> buffer{};
  auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
  std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
  std::size_t e = text.find('e');
  if (e == std::string::npos)
    return asciiUpper(text);
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-')
      sign = "-";
    exponent.erase(0, 1);
  }
  exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
  return mantissa + "E" + sign + exponent;
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& DbPath, int32_t BusyTimeoutMs,
                                 const std::string& Password, OpenMode Mode) {
  if (!Password.empty()) {
    throw ESQLiteException("Failed to open database \"" + DbPath +
                           "\" : keyed (encrypted) databases are not supported; open it without a password");
  }
  const std::filesystem::path file = platform::fsPath(DbPath);
  int flags = SQLITE_OPEN_READWRITE;
  if (Mode == OpenMode::Create) {
    flags |= SQLITE_OPEN_CREATE;
    if (!file.parent_path().empty()) {
      // A folder that cannot be made shows up as the open's own failure just below.
      std::error_code ignored;
      std::filesystem::create_directories(file.parent_path(), ignored);
    }
  } else {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error)
      throw ESQLiteException("找不到规则数据库 " + platform::pathText(file.filename()) + "\n" + DbPath);
  }
  int code = sqlite3_open_v2(DbPath.c_str(), &m_db, flags, nullptr);
  if (code != SQLITE_OK) {
    std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : "unknown error";
    sqlite3_close(m_db);
    m_db = nullptr;
    throw ESQLiteException("Failed to open database \"" + DbPath + "\" : " + message);
  }
  // The rules are plain tables. A view or a trigger in a file from elsewhere could run without end
  // (a recursive view is read into memory row by row) or change rows behind a statement; neither runs.
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  try {
    SetBusyTimeout(BusyTimeoutMs);
    for (const std::string_view pragma : kConnectionPragmaSql)
      Execute(std::string(pragma));
  } catch (...) {
    sqlite3_close(m_db);
    m_db = nullptr;
    throw;
  }
}

TSQLiteDatabase::~TSQLiteDatabase() {
  if (m_db != nullptr)
    sqlite3_close(m_db);
}

void TSQLiteDatabase::Execute(const std::string& sql) {
  Statement statement = prepareFirst(*this, sql, {});
  int result = sqlite3_step(statement.get());
  if (result != SQLITE_DONE)
    RaiseStatementError(SQLiteResultText(result), sql);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::Query(const std::string& sql) {
  return std::unique_ptr<TSQLiteTable>(new TSQLiteTable(*this, sql));
}

void TSQLiteDatabase::SetBusyTimeout(int32_t milliseconds) {
  sqlite3_busy_timeout(m_db, milliseconds);
}

void TSQLiteDatabase::RaiseStatementError(const std::string& description, const std::string& sql) const {
  if (sqlite3_errcode(m_db) != SQLITE_OK) {
    throw ESQLiteException(description + " \"" + sql + "\" : " + sqlite3_errmsg(m_db));
  }
  throw ESQLiteException(description);
}

TSQLiteTable::TSQLiteTable(TSQLiteDatabase& database, const std::string& sql) {
  Statement statement = prepareFirst(database, sql, "Error executing SQL");
  sqlite3_stmt* stmt = statement.get();
  for (;;) {
    int result = sqlite3_step(stmt);
    if (result == SQLITE_DONE)
      break;
    if (result == SQLITE_BUSY)
      throw ESQLiteException("Could not prepare SQL statement");
    if (result != SQLITE_ROW)
      database.RaiseStatementError("Could not retrieve data", sql);
    ++m_rowCount;
    if (m_rowCount == 1) {
      m_columnCount = static_cast<uint32_t>(sqlite3_column_count(stmt));
      for (int column = 0; column < static_cast<int>(m_columnCount); ++column) {
        m_columnNames.push_back(asciiUpper(sqlite3_column_name(stmt, column)));
        m_columnKinds.push_back(kindFromDeclaredType(stmt, column));
      }
    }
    for (int column = 0; column < static_cast<int>(m_columnCount); ++column) {
      if (sqlite3_column_type(stmt, column) == SQLITE_NULL) {
        m_cells.emplace_back();
        continue;
      }
      switch (m_columnKinds[column]) {
        case ColumnKind::Integer:
          m_cells.emplace_back(static_cast<int64_t>(sqlite3_column_int64(stmt, column)));
          break;
        case ColumnKind::Float:
          m_cells.emplace_back(sqlite3_column_double(stmt, column));
          break;
        case ColumnKind::Blob: {
          const void* bytes = sqlite3_column_blob(stmt, column);
          int length = sqlite3_column_bytes(stmt, column);
          if (length == 0) {
            m_cells.emplace_back();
          } else {
            m_cells.emplace_back(std::string(static_cast<const char*>(bytes), length));
          }
          break;
        }
        default: {
          const unsigned char* text = sqlite3_column_text(stmt, column);
          m_cells.emplace_back(std::string(text != nullptr ? reinterpret_cast<const char*>(text) : ""));
          break;
        }
      }
    }
  }
  m_currentRow = 0;
}

TSQLiteTable::~TSQLiteTable() = default;

bool TSQLiteTable::FirstRow() {
  if (m_rowCount == 0)
    return false;
  m_currentRow = 0;
  return true;
}

bool TSQLiteTable::NextRow() {
  if (AtEnd())
    return false;
  ++m_currentRow;
  return true;
}

uint32_t TSQLiteTable::ColumnIndex(std::string_view name) const {
  if (m_columnNames.empty())
    throw ESQLiteException("Field " + std::string(name) + " Not found. Empty dataset");
  std::string wanted = asciiUpper(name);
  for (uint32_t column = 0; column < m_columnNames.size(); ++column) {
    if (asciiUpper(m_columnNames[column]) == wanted)
      return column;
  }
  throw ESQLiteException("Field not found in dataset: " + std::string(name));
}

bool TSQLiteTable::HasColumn(std::string_view name) const {
  const std::string wanted = asciiUpper(name);
  return std::any_of(m_columnNames.begin(), m_columnNames.end(),
                     [&](const std::string& column) { return asciiUpper(column) == wanted; });
}

std::string TSQLiteTable::ValueText(uint32_t column) const {
  if (AtEnd())
    throw ESQLiteException("Table is at End of File");
  if (column >= m_columnCount)
    throw ESQLiteException("Column index out of range: " + std::to_string(column));
  const Cell& cell = m_cells[static_cast<std::size_t>(m_currentRow) * m_columnCount + column];
  switch (m_columnKinds[column]) {
    case ColumnKind::Integer:
      return std::holds_alternative<int64_t>(cell) ? std::to_string(std::get<int64_t>(cell)) : "0";
    case ColumnKind::Float:
      return std::holds_alternative<double>(cell) ? floatText(std::get<double>(cell)) : "0";
    case ColumnKind::Text:
    case ColumnKind::Blob:
      return std::holds_alternative<std::string>(cell) ? std::get<std::string>(cell) : "";
    default:
      return "";
  }
}

std::string TSQLiteTable::ValueByName(std::string_view name) const {
  return ValueText(ColumnIndex(name));
}

}  // namespace qinglan
