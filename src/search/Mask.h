#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "search/MaskTable.h"

namespace qinglan {

// Raised by the test of an invalid mask: "'<mask>' is an invalid mask at (<position>)", the
// position being the 1-based character at which reading the mask failed.
class EInvalidMask : public std::runtime_error {
 public:
  EInvalidMask(const std::string& mask, int position);
  int position() const { return m_position; }

 private:
  int m_position;
};

// The mask of every name. In a search's name list it also lets every folder pass.
inline constexpr std::string_view kAllNamesMask = "*.*";

// A name prepared once for testing against several masks.
struct MaskSubject {
  explicit MaskSubject(std::string_view text);
  std::string_view name;
  bool ascii;  // every character is one byte
};

// A name mask compiled once into one-character steps between star places. Names and masks are
// UTF-8 bytes: `?` and sets take one character (a valid UTF-8 sequence, or any single byte that
// does not start one); `*` takes any run of characters; ASCII letters match without regard to
// case. A mask that cannot be compiled keeps its error and raises it at every test, so an invalid
// mask raises at the first name tested, not when it is set. An empty mask matches no name.
class Mask {
 public:
  explicit Mask(std::string_view text);

  const std::string& text() const { return m_text; }
  bool valid() const { return m_errorPosition == 0; }

  // Throws EInvalidMask when the mask is invalid.
  bool matches(const MaskSubject& subject) const;
  // The byte, upper-cased, that every name the mask matches starts (ends) with; 0 when the mask
  // does not fix one.
  unsigned char firstByte() const { return m_firstByte; }
  unsigned char lastByte() const { return m_lastByte; }
  bool matches(std::string_view name) const { return matches(MaskSubject(name)); }
  // True when the compiled mask takes every name there can be: a star place and no step but at
  // most one `?` ("*", "?*", "*??", "?*?"). Names are never empty, so one `?` takes any of them.
  bool matchesEveryName() const;

 private:
  struct Step {
    enum Kind : uint8_t { kLiteral, kAny, kSet };
    Kind kind = kLiteral;
    bool negate = false;
    uint8_t length = 0;  // bytes of a literal character
    std::array<unsigned char, 4> bytes{};
    std::array<uint64_t, 2> set{};  // ASCII members, letters upper-cased
  };
  // Steps [begin, end) between two star places.
  struct Segment {
    uint32_t begin = 0;
    uint32_t end = 0;
    uint32_t size() const { return end - begin; }
  };

  class Compiler;
  template <bool kAscii>
  bool matchSteps(const unsigned char* name, const unsigned char* end) const;
  template <bool kAscii>
  bool segmentAt(const Segment& segment, const unsigned char*& at, const unsigned char* end) const;
  static bool stepMatches(const Step& step, const unsigned char* at, int length);

  void noteEndBytes();

  std::string m_text;
  // The upper-cased byte every matching name starts or ends with, when the mask's first or last
  // step is an ASCII letter or sign at a fixed end; zero when it does not fix one. Most names fail
  // a mask there, without a walk through its steps.
  unsigned char m_firstByte = 0;
  unsigned char m_lastByte = 0;
  std::vector<Step> m_steps;
  // The first segment is anchored at the start of the name; each later one follows a star place,
  // and the last one is anchored at the end unless it is the first.
  std::vector<Segment> m_segments;
  int m_errorPosition = 0;
};

// The masks of one list, tried in order until one matches.
class MaskList {
 public:
  MaskList() = default;
  explicit MaskList(const std::vector<std::string>& texts);

  bool empty() const { return m_masks.empty(); }
  // True when a test may raise: some mask of the list is invalid.
  bool hasInvalid() const { return m_hasInvalid; }
  // Tries the masks in order and stops at the first match; raises at an invalid mask it reaches.
  bool anyMatches(const MaskSubject& subject) const;

 private:
  std::vector<Mask> m_masks;
  MaskTable m_table;
  bool m_hasInvalid = false;
};

// Compiles the mask and tests one name against it.
bool matchesMask(std::string_view name, std::string_view mask);

// True when a search with this mask in its name list reports every entry of a folder: the mask
// matches every possible name however it is spelt (Mask::matchesEveryName), or it is
// kAllNamesMask, which lets every folder pass. Such a mask is too broad for a place where other
// programs' files live.
bool matchesEveryName(std::string_view mask);

// Length in bytes of the character at `at`: a valid UTF-8 sequence, else 1.
int utf8CharLength(const unsigned char* at, const unsigned char* end);

}  // namespace qinglan
