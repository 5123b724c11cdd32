#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "search/Mask.h"

namespace qinglan::fuzz {
namespace {

constexpr int kMaxStarPlaces = 30;

std::vector<std::string_view> characters(std::string_view text) {
  std::vector<std::string_view> result;
  const auto* at = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = at + text.size();
  while (at < end) {
    const int length = utf8CharLength(at, end);
    result.emplace_back(reinterpret_cast<const char*>(at), static_cast<size_t>(length));
    at += length;
  }
  return result;
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = upper(c);
  return result;
}

bool sameCharacter(std::string_view a, std::string_view b) {
  return a.size() == b.size() && (a.size() > 1 ? a == b : upper(a[0]) == upper(b[0]));
}

// A mask without sets read the plain way: '*' any run, '?' one character unless a star is
// pending (then it is dropped), anything else itself. Empty when there are too many star places.
struct PlainMask {
  bool valid = true;
  std::vector<std::string_view> tokens;  // "*", "?" or one literal character
};

PlainMask readPlainMask(std::string_view text) {
  PlainMask mask;
  int places = 0;
  bool starPending = false;
  for (std::string_view c : characters(text)) {
    if (c == "*") {
      if (!starPending)
        mask.tokens.push_back(c);
      starPending = true;
      continue;
    }
    if (c == "?" && starPending)
      continue;
    if (starPending)
      ++places;
    starPending = false;
    mask.tokens.push_back(c);
  }
  if (starPending)
    ++places;
  mask.valid = places <= kMaxStarPlaces;
  return mask;
}

// Textbook dynamic programming over tokens and name characters.
bool plainMatches(const PlainMask& mask, std::string_view name) {
  if (mask.tokens.empty())
    return false;
  const std::vector<std::string_view> chars = characters(name);
  const size_t n = chars.size();
  std::vector<bool> row(n + 1, false);
  row[0] = true;
  for (std::string_view token : mask.tokens) {
    std::vector<bool> next(n + 1, false);
    for (size_t j = 0; j <= n; ++j) {
      if (token == "*")
        next[j] = row[j] || (j > 0 && next[j - 1]);
      else if (j > 0)
        next[j] = row[j - 1] && (token == "?" || sameCharacter(token, chars[j - 1]));
    }
    row = std::move(next);
  }
  return row[n];
}

bool raisesInvalid(const Mask& mask, std::string_view name) {
  try {
    mask.matches(name);
  } catch (const EInvalidMask&) {
    return true;
  }
  return false;
}

}  // namespace

int fuzzMask(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const std::string_view maskText = input.substr(0, split);
  const std::string_view name =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const Mask mask(maskText);
  FUZZ_CHECK(raisesInvalid(mask, name) == !mask.valid());
  const bool plain = maskText.find('[') == std::string_view::npos;
  if (plain)
    FUZZ_CHECK(readPlainMask(maskText).valid == mask.valid());
  if (!mask.valid())
    return 0;

  const bool matched = mask.matches(name);
  // Letter case never matters, and the name prepared once gives the same answer.
  FUZZ_CHECK(mask.matches(upperAscii(name)) == matched);
  FUZZ_CHECK(Mask(upperAscii(maskText)).matches(name) == matched);
  FUZZ_CHECK(MaskList({std::string(maskText)}).anyMatches(MaskSubject(name)) == matched);

  if (plain)
    FUZZ_CHECK(plainMatches(readPlainMask(maskText), name) == matched);
  return 0;
}

}  // namespace qinglan::fuzz
