#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;

namespace qinglan {

// Every failure of the database layer; carries only its message.
class ESQLiteException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The English description of an SQLite result code, e.g. 26 "File opened that is not a database file";
// unknown codes give "Unknown SQLite Error Code \"<code>\"".
std::string SQLiteResultText(int code);

// Numbered like SQLite's storage classes, so a storage class can be stored as a kind directly.
enum class ColumnKind : int { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

// Text of a double as the table reads it: at most 15 significant digits, "." as separator,
// capital E with no "+" and no leading zeros in the exponent (1.5, 1E20, -2.5E-7).
std::string floatText(double value);

class TSQLiteTable;

// How long a statement waits for another connection's lock before it fails with "database is locked".
inline constexpr int32_t kBusyTimeoutMs = 1000;

// One open connection, owned from the constructor to the destructor. Failures raise ESQLiteException.
class TSQLiteDatabase {
 public:
  // Existing opens only a file that is there: a missing one raises "找不到规则数据库 <name>" with its
  // path, and no empty file is left behind. Create makes the file and its folder as needed.
  enum class OpenMode { Existing, Create };

  // Opens the file, sets the busy time-out and the two connection pragmas. A non-empty Password
  // raises: keyed databases are not supported.
  explicit TSQLiteDatabase(const std::string& DbPath, int32_t BusyTimeoutMs = kBusyTimeoutMs,
                           const std::string& Password = {}, OpenMode Mode = OpenMode::Existing);
  TSQLiteDatabase(const std::string& DbPath, OpenMode Mode)
      : TSQLiteDatabase(DbPath, kBusyTimeoutMs, {}, Mode) {}
  virtual ~TSQLiteDatabase();
  TSQLiteDatabase(const TSQLiteDatabase&) = delete;
  TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

  // Runs the first statement of the text to completion; it must yield no row.
  void Execute(const std::string& sql);
  // Materialises the first statement of the text; UPDATE statements give an empty table.
  std::unique_ptr<TSQLiteTable> Query(const std::string& sql);
  void SetBusyTimeout(int32_t milliseconds);
  // Raises description + " \"sql\" : " + SQLite's message when the connection holds an error code,
  // else the description alone.
  [[noreturn]] void RaiseStatementError(const std::string& description, const std::string& sql) const;

  sqlite3* handle() const { return m_db; }

 private:
  sqlite3* m_db = nullptr;
};

// The complete result of one statement, copied into memory, with a current-row cursor. It holds
// nothing of the connection once built. Reading past the end or an unknown column raises.
class TSQLiteTable {
 public:
  virtual ~TSQLiteTable();
  TSQLiteTable(const TSQLiteTable&) = delete;
  TSQLiteTable& operator=(const TSQLiteTable&) = delete;

  uint32_t RowCount() const { return m_rowCount; }
  uint32_t ColumnCount() const { return m_columnCount; }
  // Column names upper-cased, in result order; empty when no row came back.
  const std::vector<std::string>& ColumnNames() const { return m_columnNames; }
  ColumnKind ColumnKindAt(uint32_t column) const { return m_columnKinds.at(column); }

  bool AtEnd() const { return m_currentRow >= m_rowCount; }
  // Rewinds to row 0; false (and no change) for an empty table.
  bool FirstRow();
  // Steps one row; false once AtEnd.
  bool NextRow();

  // Index of the named column, ignoring ASCII case.
  uint32_t ColumnIndex(std::string_view name) const;
  // True when the result has a column of that name, ASCII letters in either case.
  bool HasColumn(std::string_view name) const;
  // The current row's value of a column as text, converted by the column's kind.
  std::string ValueText(uint32_t column) const;
  std::string ValueByName(std::string_view name) const;

 private:
  friend class TSQLiteDatabase;
  TSQLiteTable(TSQLiteDatabase& database, const std::string& sql);

  // Absent (SQL NULL or an empty blob), an integer, a double, or text or blob bytes.
  using Cell = std::variant<std::monostate, int64_t, double, std::string>;

  std::vector<Cell> m_cells;  // row-major: row r, column c at r * column count + c
  uint32_t m_rowCount = 0;
  uint32_t m_columnCount = 0;
  std::vector<std::string> m_columnNames;
  std::vector<ColumnKind> m_columnKinds;
  uint32_t m_currentRow = 0;
};

}  // namespace qinglan
