#include "gui/TextCollation.h"

#include <algorithm>
#include <iterator>
#include <numeric>

#include <QCollatorSortKey>
#include <QLocale>

namespace qinglan::gui {

namespace {

// Texts on which the character table must give the collator's order: case against case,
// digits, punctuation between and around letters, prefixes.
constexpr const char* kProbes[] = {
    "",           " ",         "a",          "A",       "b",        "B",        "aB",       "Ab",
    "ab",         "AB",        "a b",        "a-b",     "a_b",      "a.b",      "a,b",      "a~b",
    "a1",         "a10",       "a9",         "a2b",     "file.tmp", "File.tmp", "file.TMP", "file_1.log",
    "file-1.log", "file1.log", "file10.log", "(1).txt", "[1].txt",  "{x}",      "!x",       "#x",
    "$x",         "%x",        "&x",         "'x",      "\"x",      "*x",       "+x",       "/x",
    ":x",         ";x",        "<x",         "=x",      ">x",       "?x",       "@x",       "\\x",
    "^x",         "`x",        "|x",         "0",       "00",       "z",        "Z",        "zz",
    "x y",        "xy",        "x-y",        "x_y",     "xY",       "Xy",       "~",        "a.",
};

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int signOf(int value) {
  return (value > 0) - (value < 0);
}

}  // namespace

const QCollator& interfaceCollator() {
  static const QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
  return collator;
}

AsciiCollationKeys::AsciiCollationKeys(const QCollator& collator) {
  QCollator caseBlind = collator;
  caseBlind.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<QString> characters;
  for (char c = kFirst; c <= kLast; ++c)
    characters.push_back(QString(QLatin1Char(c)));
  std::stable_sort(characters.begin(), characters.end(),
                   [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
  // Characters the case-blind collator finds equal share a primary weight and are told apart by
  // their order among themselves, as upper and lower case are.
  unsigned char primary = 0;
  unsigned char tertiary = 0;
  for (size_t i = 0; i < characters.size(); ++i) {
    if (i == 0 || caseBlind.compare(characters[i - 1], characters[i]) != 0) {
      ++primary;
      tertiary = 0;
    }
    const auto index = static_cast<size_t>(characters[i].at(0).unicode() - kFirst);
    m_primary[index] = primary;
    m_tertiary[index] = ++tertiary;
  }

  m_usable = true;
  std::vector<std::string> keys(std::size(kProbes));
  for (size_t i = 0; i < keys.size(); ++i)
    append(kProbes[i], keys[i]);
  for (size_t i = 0; i < keys.size() && m_usable; ++i)
    for (size_t j = 0; j < keys.size() && m_usable; ++j)
      m_usable = signOf(keys[i].compare(keys[j])) ==
                 signOf(collator.compare(QLatin1String(kProbes[i]), QLatin1String(kProbes[j])));
}

bool AsciiCollationKeys::append(std::string_view text, std::string& keys) const {
  if (!m_usable || !std::all_of(text.begin(), text.end(), [](char c) { return c >= kFirst && c <= kLast; }))
    return false;
  // The primary weights decide first; a shorter text whose weights begin the other's comes
  // first; only then the case decides, from the first character on.
  size_t at = keys.size();
  keys.resize(at + 2 * text.size() + 1);
  for (char c : text)
    keys[at++] = static_cast<char>(m_primary[c - kFirst]);
  keys[at++] = '\0';
  for (char c : text)
    keys[at++] = static_cast<char>(m_tertiary[c - kFirst]);
  return true;
}

std::vector<int> collationRanks(const TextPool& pool, const std::vector<TextPool::Id>& ids) {
  static const AsciiCollationKeys asciiKeys(interfaceCollator());
  const QCollator& collator = interfaceCollator();

  // The texts with a fast key, their keys in one buffer, and the others with the collator's keys.
  size_t keyBytesNeeded = 0;
  for (TextPool::Id id : ids)
    keyBytesNeeded += 2 * pool.view(id).size() + 1;
  std::string keyBytes;
  keyBytes.reserve(keyBytesNeeded);
  std::vector<size_t> keyEnds;
  std::vector<TextPool::Id> ascii;
  std::vector<TextPool::Id> other;
  std::vector<QString> otherTexts;
  std::vector<QCollatorSortKey> otherKeys;
  for (TextPool::Id id : ids) {
    if (asciiKeys.append(pool.view(id), keyBytes)) {
      ascii.push_back(id);
      keyEnds.push_back(keyBytes.size());
      continue;
    }
    other.push_back(id);
    otherTexts.push_back(fromUtf8(pool.view(id)));
    otherKeys.push_back(collator.sortKey(otherTexts.back()));
  }

  const auto keyOf = [&](uint32_t i) {
    const size_t begin = i == 0 ? 0 : keyEnds[i - 1];
    return std::string_view(keyBytes).substr(begin, keyEnds[i] - begin);
  };
  // Most comparisons are settled by the first eight bytes of the keys, compared as one number.
  std::vector<std::pair<uint64_t, uint32_t>> asciiPrefixed;
  asciiPrefixed.reserve(ascii.size());
  for (uint32_t i = 0; i < ascii.size(); ++i) {
    const std::string_view key = keyOf(i);
    uint64_t prefix = 0;
    for (size_t byte = 0; byte < sizeof prefix; ++byte)
      prefix = (prefix << 8) | (byte < key.size() ? static_cast<unsigned char>(key[byte]) : 0U);
    asciiPrefixed.emplace_back(prefix, i);
  }
  std::sort(asciiPrefixed.begin(), asciiPrefixed.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first)
      return a.first < b.first;
    return keyOf(a.second) < keyOf(b.second);
  });
  std::string().swap(keyBytes);
  std::vector<size_t>().swap(keyEnds);
  std::vector<uint32_t> asciiOrder;
  asciiOrder.reserve(ascii.size());
  for (const auto& [prefix, index] : asciiPrefixed)
    asciiOrder.push_back(index);
  std::vector<std::pair<uint64_t, uint32_t>>().swap(asciiPrefixed);
  std::vector<uint32_t> otherOrder(other.size());
  std::iota(otherOrder.begin(), otherOrder.end(), 0);
  std::sort(otherOrder.begin(), otherOrder.end(),
            [&](uint32_t a, uint32_t b) { return otherKeys[a].compare(otherKeys[b]) < 0; });

  // Merged by the collator itself, which here only compares a fast-keyed text with another.
  struct Entry {
    bool ascii;
    uint32_t index;
  };
  const auto textOf = [&](Entry entry) {
    return entry.ascii ? fromUtf8(pool.view(ascii[entry.index])) : otherTexts[entry.index];
  };
  std::vector<Entry> merged;
  merged.reserve(ids.size());
  size_t a = 0;
  size_t b = 0;
  while (a < asciiOrder.size() && b < otherOrder.size()) {
    if (collator.compare(textOf({true, asciiOrder[a]}), otherTexts[otherOrder[b]]) <= 0)
      merged.push_back({true, asciiOrder[a++]});
    else
      merged.push_back({false, otherOrder[b++]});
  }
  for (; a < asciiOrder.size(); ++a)
    merged.push_back({true, asciiOrder[a]});
  for (; b < otherOrder.size(); ++b)
    merged.push_back({false, otherOrder[b]});

  // Distinct texts of printable ASCII never collate equal; other texts may.
  const auto equal = [&](Entry x, Entry y) {
    if (x.ascii && y.ascii)
      return false;
    if (!x.ascii && !y.ascii)
      return otherKeys[x.index].compare(otherKeys[y.index]) == 0;
    return collator.compare(textOf(x), textOf(y)) == 0;
  };
  std::vector<int> ranks(pool.size(), 0);
  int rank = -1;
  for (size_t i = 0; i < merged.size(); ++i) {
    if (i == 0 || !equal(merged[i - 1], merged[i]))
      ++rank;
    ranks[merged[i].ascii ? ascii[merged[i].index] : other[merged[i].index]] = rank;
  }
  return ranks;
}

}  // namespace qinglan::gui
