#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace qinglan {

// Texts kept once each, byte for byte, in large shared blocks, and named by a number. A list of a
// million findings repeats its locations, dates, sizes and statuses over and over, and a string
// object per cell would cost an allocation and tens of bytes even for the texts that are unique.
class TextPool {
 public:
  using Id = uint32_t;
  static constexpr Id kEmpty = 0;  // the empty text, always present

  TextPool();

  Id intern(std::string_view utf8);

  std::string_view view(Id id) const;
  // Distinct texts held, the empty one included: ids run from 0 to size() - 1.
  size_t size() const { return m_spans.size(); }

  // Forgets every text and gives the memory back.
  void clear();

 private:
  struct Span {
    uint32_t place;  // the block's index in the high bits, the offset in it in the low ones
    uint32_t length;
  };

  void store(std::string_view utf8);
  void grow();

  std::vector<std::unique_ptr<char[]>> m_blocks;
  size_t m_blockUsed = 0;  // bytes taken in the last shared block
  std::vector<Span> m_spans;
  // Open addressing, at most three quarters full: each slot holds a text's hash in its high half and its id
  // in the low one; 0 marks a free slot (the empty text is never looked up here).
  std::vector<uint64_t> m_slots;
};

}  // namespace qinglan
