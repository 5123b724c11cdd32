#include "search/Mask.h"

#include <algorithm>
#include <cstring>

namespace qinglan {

namespace {

// More star places than this make a mask invalid; the end of a mask that closes with a star
// counts as a place.
constexpr int kMaxStarPlaces = 30;

constexpr unsigned char upperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool isContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Thrown inside the compiler only; the mask keeps the position and raises at its first test.
struct CompileFailure {
  int position;
};

}  // namespace

EInvalidMask::EInvalidMask(const std::string& mask, int position)
    : std::runtime_error("'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")"),
      m_position(position) {}

MaskSubject::MaskSubject(std::string_view text) : name(text) {
  // An OR over all bytes instead of an early exit: the loop vectorises and names are short.
  unsigned char high = 0;
  for (char c : text)
    high |= static_cast<unsigned char>(c);
  ascii = high < 0x80;
}

int utf8CharLength(const unsigned char* at, const unsigned char* end) {
  const unsigned char lead = at[0];
  const auto left = end - at;
  if (lead < 0xC2 || lead > 0xF4)
    return 1;  // ASCII, a stray continuation or an overlong lead
  if (lead < 0xE0)
    return (left >= 2 && isContinuation(at[1])) ? 2 : 1;
  if (lead < 0xF0) {
    if (left < 3 || !isContinuation(at[1]) || !isContinuation(at[2]))
      return 1;
    if (lead == 0xE0 && at[1] < 0xA0)
      return 1;  // overlong
    if (lead == 0xED && at[1] >= 0xA0)
      return 1;  // surrogate
    return 3;
  }
  if (left < 4 || !isContinuation(at[1]) || !isContinuation(at[2]) || !isContinuation(at[3]))
    return 1;
  if (lead == 0xF0 && at[1] < 0x90)
    return 1;  // overlong
  if (lead == 0xF4 && at[1] >= 0x90)
    return 1;  // beyond U+10FFFF
  return 4;
}

// Reads a mask left to right; the first fault found decides the error position.
class Mask::Compiler {
 public:
  explicit Compiler(Mask& mask)
      : m_mask(mask),
        m_at(reinterpret_cast<const unsigned char*>(mask.m_text.data())),
        m_end(m_at + mask.m_text.size()) {}

  void run() {
    m_mask.m_segments.push_back({});
    while (m_at < m_end) {
      switch (*m_at) {
        case '*':
          m_starPending = true;
          advance(1);
          break;
        case '?':
          // A `?` while a star is pending is dropped: "*?" means "*".
          if (!m_starPending)
            write(Step{.kind = Step::kAny});
          advance(1);
          break;
        case '[':
          scanSet();
          break;
        default:
          scanLiteral();
          break;
      }
    }
    if (m_starPending)
      openSegment();
    m_mask.m_segments.back().end = static_cast<uint32_t>(m_mask.m_steps.size());
  }

 private:
  int currentLength() const { return utf8CharLength(m_at, m_end); }
  void advance(int bytes) {
    m_at += bytes;
    ++m_position;
  }
  [[noreturn]] void fail() const { throw CompileFailure{m_position}; }

  void openSegment() {
    if (++m_starPlaces > kMaxStarPlaces)
      fail();
    const auto index = static_cast<uint32_t>(m_mask.m_steps.size());
    m_mask.m_segments.back().end = index;
    m_mask.m_segments.push_back({index, index});
    m_starPending = false;
  }

  void write(const Step& step) {
    if (m_starPending)
      openSegment();
    m_mask.m_steps.push_back(step);
  }

  void scanLiteral() {
    const int length = currentLength();
    Step step{.kind = Step::kLiteral, .length = static_cast<uint8_t>(length)};
    std::memcpy(step.bytes.data(), m_at, static_cast<size_t>(length));
    step.bytes[0] = upperAscii(step.bytes[0]);
    write(step);
    advance(length);
  }

  // "[abc]", "[!abc]", with ranges "a-z"; letters are upper-cased and characters beyond ASCII
  // are skipped. Fails when the set is not closed, is empty, or opens with a hyphen.
  void scanSet() {
    Step step{.kind = Step::kSet};
    advance(1);
    if (m_at < m_end && *m_at == '!') {
      step.negate = true;
      advance(1);
    }
    int last = -1;  // the last single character taken, the start of a range
    bool empty = true;
    auto include = [&](int from, int to) {
      for (int c = from; c <= to && c < 0x80; ++c) {
        step.set[static_cast<size_t>(c) / 64] |= uint64_t{1} << (c % 64);
        empty = false;
      }
    };
    while (m_at < m_end && *m_at != ']') {
      const int length = currentLength();
      if (*m_at >= 0x80) {
        advance(length);
      } else if (*m_at == '-') {
        if (last < 0)
          fail();
        advance(1);
        if (m_at == m_end)
          break;
        // A range ending beyond ASCII takes every ASCII character from its start up.
        include(last, *m_at >= 0x80 ? 0x7F : upperAscii(*m_at));
        advance(currentLength());
      } else {
        last = upperAscii(*m_at);
        include(last, last);
        advance(1);
      }
    }
    if (m_at == m_end || empty)
      fail();
    write(step);
    advance(1);
  }

  Mask& m_mask;
  const unsigned char* m_at;
  const unsigned char* m_end;
  int m_position = 1;
  int m_starPlaces = 0;
  bool m_starPending = false;
};

Mask::Mask(std::string_view text) : m_text(text) {
  try {
    Compiler(*this).run();
  } catch (const CompileFailure& failure) {
    m_errorPosition = failure.position;
    m_steps.clear();
    m_segments.clear();
    return;
  }
  noteEndBytes();
}

void Mask::noteEndBytes() {
  auto asciiLiteral = [this](uint32_t index) {
    const Step& step = m_steps[index];
    return step.kind == Step::kLiteral && step.length == 1 && step.bytes[0] < 0x80 ? step.bytes[0] : 0;
  };
  const Segment& first = m_segments.front();
  const Segment& last = m_segments.back();
  if (first.size() > 0)
    m_firstByte = asciiLiteral(first.begin);
  // With one segment the mask has no star: its end is fixed as well as its start.
  if (last.size() > 0)
    m_lastByte = asciiLiteral(last.end - 1);
}

bool Mask::stepMatches(const Step& step, const unsigned char* at, int length) {
  switch (step.kind) {
    case Step::kAny:
      return true;
    case Step::kLiteral:
      if (length != step.length)
        return false;
      return length == 1 ? upperAscii(*at) == step.bytes[0]
                         : std::memcmp(at, step.bytes.data(), static_cast<size_t>(length)) == 0;
    case Step::kSet: {
      const unsigned char c = upperAscii(*at);
      const bool member = length == 1 && c < 0x80 && ((step.set[c / 64] >> (c % 64)) & 1) != 0;
      return member != step.negate;
    }
  }
  return false;
}

template <bool kAscii>
bool Mask::segmentAt(const Segment& segment, const unsigned char*& at, const unsigned char* end) const {
  for (uint32_t i = segment.begin; i < segment.end; ++i) {
    if (at == end)
      return false;
    const int length = kAscii ? 1 : utf8CharLength(at, end);
    if (!stepMatches(m_steps[i], at, length))
      return false;
    at += length;
  }
  return true;
}

// Every step takes exactly one character, so between star places the leftmost occurrence of each
// segment is always the best choice: no backtracking, at worst name length × segment length.
template <bool kAscii>
bool Mask::matchSteps(const unsigned char* name, const unsigned char* end) const {
  const unsigned char* at = name;
  if (!segmentAt<kAscii>(m_segments.front(), at, end))
    return false;
  if (m_segments.size() == 1)
    return at == end;

  for (size_t i = 1; i + 1 < m_segments.size(); ++i) {
    const Segment& segment = m_segments[i];
    for (;;) {
      if (kAscii && static_cast<size_t>(end - at) < segment.size())
        return false;
      const unsigned char* probe = at;
      if (segmentAt<kAscii>(segment, probe, end)) {
        at = probe;
        break;
      }
      if (at == end)
        return false;
      at += kAscii ? 1 : utf8CharLength(at, end);
    }
  }

  const Segment& last = m_segments.back();
  if (kAscii) {
    if (static_cast<size_t>(end - at) < last.size())
      return false;
    at = end - last.size();
  } else {
    size_t characters = 0;
    for (const unsigned char* p = at; p < end; p += utf8CharLength(p, end))
      ++characters;
    if (characters < last.size())
      return false;
    for (size_t skip = characters - last.size(); skip > 0; --skip)
      at += utf8CharLength(at, end);
  }
  return segmentAt<kAscii>(last, at, end);
}

bool Mask::matches(const MaskSubject& subject) const {
  if (!valid())
    throw EInvalidMask(m_text, m_errorPosition);
  if (m_text.empty())
    return false;
  const auto* name = reinterpret_cast<const unsigned char*>(subject.name.data());
  const auto* end = name + subject.name.size();
  if (m_firstByte != 0 && (name == end || upperAscii(name[0]) != m_firstByte))
    return false;
  if (m_lastByte != 0 && (name == end || upperAscii(end[-1]) != m_lastByte))
    return false;
  return subject.ascii ? matchSteps<true>(name, end) : matchSteps<false>(name, end);
}

bool Mask::matchesEveryName() const {
  return valid() && m_segments.size() > 1 && m_steps.size() <= 1 &&
         std::ranges::all_of(m_steps, [](const Step& step) { return step.kind == Step::kAny; });
}

MaskList::MaskList(const std::vector<std::string>& texts) {
  m_masks.reserve(texts.size());
  for (const std::string& text : texts) {
    m_masks.emplace_back(text);
    m_hasInvalid = m_hasInvalid || !m_masks.back().valid();
  }
  std::vector<const Mask*> masks;
  for (const Mask& mask : m_masks)
    masks.push_back(&mask);
  m_table = MaskTable(masks);
}

// Tries only the masks that the name's first and last bytes leave in the running, in list order.
bool MaskList::anyMatches(const MaskSubject& subject) const {
  return m_table.anyCandidate(subject.name, nullptr,
                              [this, &subject](size_t number) { return m_masks[number].matches(subject); });
}

bool matchesMask(std::string_view name, std::string_view mask) {
  return Mask(mask).matches(name);
}

bool matchesEveryName(std::string_view mask) {
  return mask == kAllNamesMask || Mask(mask).matchesEveryName();
}

}  // namespace qinglan
