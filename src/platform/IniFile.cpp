#include "platform/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Codepage.h"
#include "platform/FileReplace.h"
#include "platform/OwnFolder.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

constexpr std::size_t kMaxValueCharacters = 2047;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16leBom = "\xFF\xFE";

enum class Encoding { kGbk, kUtf8, kUtf16le };

// One line as stored, in the file's encoding.
struct Line {
  std::string content;
  std::string end;  // "\r\n", "\n" or "\r" as stored; empty on a last line without one
};

// The file as stored, so that a write can give back every line it does not change byte for byte.
struct Document {
  bool exists = false;
  Encoding encoding = Encoding::kGbk;
  std::vector<Line> lines;
  std::string bytes;
  unsigned mode = 0;
};

// What a line means to a reader.
struct Meaning {
  enum class Kind { kOther, kSection, kEntry };
  Kind kind = Kind::kOther;
  std::string name;   // the section name or the key
  std::string value;  // an entry's value, trimmed, quotes kept
};

std::string_view trim(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view bomOf(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
      return kUtf8Bom;
    case Encoding::kUtf16le:
      return kUtf16leBom;
    case Encoding::kGbk:
      break;
  }
  return {};
}

std::string decode(std::string_view content, Encoding encoding) {
  std::string text;
  switch (encoding) {
    case Encoding::kGbk:
      text = gbkToUtf8(content);
      break;
    case Encoding::kUtf8:
      text = toValidUtf8(content);
      break;
    case Encoding::kUtf16le:
      text = utf16leToUtf8(content);
      break;
  }
  // A NUL ends the line's text as it ends a C string; the bytes after it stay in the file.
  if (const auto nul = text.find('\0'); nul != std::string::npos)
    text.resize(nul);
  return text;
}

std::string encode(std::string_view text, Encoding encoding) {
  switch (encoding) {
    case Encoding::kGbk:
      return utf8ToGbk(text);
    case Encoding::kUtf8:
      return std::string(text);
    case Encoding::kUtf16le:
      return utf8ToUtf16le(text);
  }
  return {};
}

// Line ends are found on code units, so UTF-16LE text splits on 0D 00 and 0A 00 only. A GBK
// trail byte is never CR or LF, so byte-wise splitting is safe for GBK and UTF-8.
std::vector<Line> splitLines(std::string_view bytes, Encoding encoding) {
  const std::size_t unit = encoding == Encoding::kUtf16le ? 2 : 1;
  const auto unitAt = [&](std::size_t i) -> char {
    if (i + unit > bytes.size() || (unit == 2 && bytes[i + 1] != '\0'))
      return '\0';
    return bytes[i];
  };
  std::vector<Line> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i + unit <= bytes.size()) {
    const char c = unitAt(i);
    if (c != '\r' && c != '\n') {
      i += unit;
      continue;
    }
    const std::size_t endLength = c == '\r' && unitAt(i + unit) == '\n' ? 2 * unit : unit;
    lines.push_back({std::string(bytes.substr(start, i - start)), std::string(bytes.substr(i, endLength))});
    i += endLength;
    start = i;
  }
  if (start < bytes.size())
    lines.push_back({std::string(bytes.substr(start)), {}});
  return lines;
}

Encoding detectEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf16leBom))
    return Encoding::kUtf16le;
  if (bytes.starts_with(kUtf8Bom))
    return Encoding::kUtf8;
  return Encoding::kGbk;
}

Document parseDocument(WholeFile file) {
  Document document;
  document.exists = true;
  document.encoding = detectEncoding(file.bytes);
  document.lines =
      splitLines(std::string_view(file.bytes).substr(bomOf(document.encoding).size()), document.encoding);
  document.bytes = std::move(file.bytes);
  document.mode = file.mode;
  return document;
}

// A file that cannot be read reads as empty, so every value is its default.
Document loadForReading(const std::string& path) {
  WholeFile file = readWholeFile(path);
  return file.status == ReadStatus::Read ? parseDocument(std::move(file)) : Document{};
}

// Writes go into the file's folder as opened and checked, never through a link; they make no
// folders. Empty when there is no folder, which holds no file either.
std::optional<OwnFolder> folderOf(const std::string& path) {
  std::optional<OwnFolder> folder = OwnFolder::open(splitPath(path).parent);
  if (!folder && errno != ENOENT)
    throw IniWriteError("Unable to write to " + path);
  return folder;
}

// A file that exists but cannot be read is never replaced: writing it anew would lose its lines.
Document loadForWriting(const std::string& path, const std::optional<OwnFolder>& folder) {
  if (!folder)
    return {};
  WholeFile file = folder->read(splitPath(path).name);
  if (file.status == ReadStatus::Missing)
    return {};
  if (file.status != ReadStatus::Read)
    throw IniWriteError("Unable to write to " + path);
  return parseDocument(std::move(file));
}

Meaning interpret(std::string_view text) {
  const std::string_view line = trim(text);
  if (line.empty() || line.front() == ';')
    return {};
  if (line.front() == '[') {
    const auto close = line.find(']');
    if (close == std::string_view::npos)
      return {};
    return {Meaning::Kind::kSection, std::string(trim(line.substr(1, close - 1))), {}};
  }
  const auto equals = line.find('=');
  if (equals == std::string_view::npos)
    return {};
  return {Meaning::Kind::kEntry, std::string(trim(line.substr(0, equals))),
          std::string(trim(line.substr(equals + 1)))};
}

std::vector<Meaning> interpretLines(const Document& document) {
  std::vector<Meaning> meanings;
  meanings.reserve(document.lines.size());
  for (const Line& line : document.lines)
    meanings.push_back(interpret(decode(line.content, document.encoding)));
  return meanings;
}

// A section's lines: its header and everything up to the next header.
struct Span {
  std::size_t header;
  std::size_t end;
};

// Every section of that name in file order; readers only ever see the first.
std::vector<Span> findSections(const std::vector<Meaning>& meanings, std::string_view section) {
  std::vector<Span> spans;
  for (std::size_t i = 0; i < meanings.size(); ++i) {
    if (meanings[i].kind != Meaning::Kind::kSection)
      continue;
    if (!spans.empty() && spans.back().end == meanings.size())
      spans.back().end = i;
    if (equalsIgnoringAsciiCase(meanings[i].name, section))
      spans.push_back({i, meanings.size()});
  }
  return spans;
}

bool isKey(const Meaning& meaning, std::string_view key) {
  return meaning.kind == Meaning::Kind::kEntry && equalsIgnoringAsciiCase(meaning.name, key);
}

// The value as a reader gets it: without enclosing quotes, at most 2047 characters.
std::string valueForReading(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  std::size_t characters = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const bool startsCharacter = (static_cast<unsigned char>(value[i]) & 0xC0) != 0x80;
    if (startsCharacter && ++characters > kMaxValueCharacters)
      return std::string(value.substr(0, i));
  }
  return std::string(value);
}

// The entries of the first section of that name, each key once with its first value.
std::vector<Meaning> sectionEntries(std::string_view fileName, std::string_view section) {
  const std::vector<Meaning> meanings = interpretLines(loadForReading(std::string(fileName)));
  const std::vector<Span> spans = findSections(meanings, section);
  std::vector<Meaning> entries;
  if (spans.empty())
    return entries;
  for (std::size_t i = spans.front().header + 1; i < spans.front().end; ++i) {
    const Meaning& meaning = meanings[i];
    const bool seen = std::any_of(entries.begin(), entries.end(),
                                  [&](const Meaning& entry) { return isKey(meaning, entry.name); });
    if (meaning.kind == Meaning::Kind::kEntry && !seen)
      entries.push_back(meaning);
  }
  return entries;
}

// Texts written are single lines: a line break inside one would let it add lines of its own, and
// a NUL would end it for every reader.
std::string singleLine(std::string_view text) {
  std::string line(text.substr(0, text.find('\0')));
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  return line;
}

Line newLine(std::string_view text, Encoding encoding) {
  return {encode(singleLine(text), encoding), encode("\r\n", encoding)};
}

// Appending after a last line that has no line end would join the two lines. A UTF-16 last line
// that stops inside a code unit would shift every line appended after it by a byte; the half unit
// becomes the replacement character that readers already saw in its place.
void endLastLine(Document& document) {
  if (document.lines.empty() || !document.lines.back().end.empty())
    return;
  Line& last = document.lines.back();
  if (document.encoding == Encoding::kUtf16le && last.content.size() % 2 != 0) {
    last.content.pop_back();
    last.content += encode("\uFFFD", document.encoding);
  }
  last.end = encode("\r\n", document.encoding);
}

void insertLine(Document& document, std::size_t index, Line line) {
  if (index == document.lines.size()) {
    endLastLine(document);
    document.lines.push_back(std::move(line));
  } else {
    document.lines.insert(document.lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
  }
}

std::string serialize(const Document& document) {
  std::string bytes(bomOf(document.encoding));
  for (const Line& line : document.lines) {
    bytes += line.content;
    bytes += line.end;
  }
  return bytes;
}

void save(const std::string& fileName, const std::optional<OwnFolder>& folder, const Document& document) {
  const std::string bytes = serialize(document);
  if (document.exists && bytes == document.bytes)
    return;
  if (!folder || !folder->replace(splitPath(fileName).name, bytes, document.exists ? document.mode : 0))
    throw IniWriteError("Unable to write to " + fileName);
}

}  // namespace

IniFile::IniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  for (const Meaning& entry : sectionEntries(m_fileName, section)) {
    if (isKey(entry, key))
      return valueForReading(entry.value);
  }
  return std::string(defaultValue);
}

std::vector<std::string> IniFile::readSection(std::string_view section) const {
  std::vector<std::string> keys;
  for (Meaning& entry : sectionEntries(m_fileName, section))
    keys.push_back(std::move(entry.name));
  return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::readSectionValues(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> values;
  for (Meaning& entry : sectionEntries(m_fileName, section))
    values.emplace_back(std::move(entry.name), valueForReading(entry.value));
  return values;
}

namespace {

// Built by appending: GCC 12 at -O3 mistakes "[" + std::string for an overlapping copy.
std::string sectionHeader(std::string_view section) {
  std::string header(1, '[');
  header += singleLine(section);
  header += ']';
  return header;
}

}  // namespace

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  const std::optional<OwnFolder> folder = folderOf(m_fileName);
  Document document = loadForWriting(m_fileName, folder);
  const std::vector<Meaning> meanings = interpretLines(document);
  const std::vector<Span> spans = findSections(meanings, section);
  const std::string cleanKey = singleLine(key);
  const std::string cleanValue = singleLine(value);
  if (spans.empty()) {
    insertLine(document, document.lines.size(), newLine(sectionHeader(section), document.encoding));
    insertLine(document, document.lines.size(), newLine(cleanKey + "=" + cleanValue, document.encoding));
    save(m_fileName, folder, document);
    return;
  }
  const Span span = spans.front();
  // A new key goes after the section's last entry, ahead of any blank lines or comments that lead
  // into the next section.
  std::size_t insertAt = span.header + 1;
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    if (isKey(meanings[i], cleanKey)) {
      // The stored key keeps its spelling and the line its line end.
      document.lines[i].content = encode(meanings[i].name + "=" + cleanValue, document.encoding);
      save(m_fileName, folder, document);
      return;
    }
    if (meanings[i].kind == Meaning::Kind::kEntry)
      insertAt = i + 1;
  }
  insertLine(document, insertAt, newLine(cleanKey + "=" + cleanValue, document.encoding));
  save(m_fileName, folder, document);
}

void IniFile::deleteKey(std::string_view section, std::string_view key) {
  const std::optional<OwnFolder> folder = folderOf(m_fileName);
  Document document = loadForWriting(m_fileName, folder);
  const std::vector<Meaning> meanings = interpretLines(document);
  const std::vector<Span> spans = findSections(meanings, section);
  if (spans.empty())
    return;
  // Every line of the key goes, so that a later read cannot find a duplicate left behind.
  for (std::size_t i = spans.front().end; i > spans.front().header + 1; --i) {
    if (isKey(meanings[i - 1], key))
      document.lines.erase(document.lines.begin() + static_cast<std::ptrdiff_t>(i - 1));
  }
  save(m_fileName, folder, document);
}

void IniFile::eraseSection(std::string_view section) {
  const std::optional<OwnFolder> folder = folderOf(m_fileName);
  Document document = loadForWriting(m_fileName, folder);
  const std::vector<Span> spans = findSections(interpretLines(document), section);
  if (spans.empty())
    return;
  // All sections of that name go: erasing only the first would bring the next one to light.
  for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
    document.lines.erase(document.lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                         document.lines.begin() + static_cast<std::ptrdiff_t>(span->end));
  }
  save(m_fileName, folder, document);
}

}  // namespace qinglan::platform
