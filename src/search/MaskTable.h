#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qinglan {

class Mask;

// A set of masks, one bit per mask number, in 64-bit words.
using MaskBits = std::vector<uint64_t>;

// Which of a set of masks a name may match, by its first and last bytes alone: a mask that fixes
// the byte a matching name starts or ends with (see Mask::firstByte) is left out for names that
// do not. An invalid mask is never left out, for it raises whatever the name.
class MaskTable {
 public:
  MaskTable() = default;
  explicit MaskTable(const std::vector<const Mask*>& masks);

  // An empty set as large as the table.
  MaskBits none() const { return MaskBits(m_words, 0); }

  // Calls `visit` with the number of each mask worth trying on the name, in increasing order, until
  // it returns true; `among`, when given, narrows them to a set. True when a visit returned true.
  template <typename Visit>
  bool anyCandidate(std::string_view name, const MaskBits* among, Visit visit) const {
    const uint64_t* first = row(m_byFirstByte, name.empty() ? kNoByte : byteKey(name.front()));
    const uint64_t* last = row(m_byLastByte, name.empty() ? kNoByte : byteKey(name.back()));
    for (size_t word = 0; word < m_words; ++word) {
      uint64_t left = first[word] & last[word];
      if (among != nullptr)
        left &= (*among)[word];
      for (; left != 0; left &= left - 1) {
        if (visit(word * 64 + static_cast<size_t>(std::countr_zero(left))))
          return true;
      }
    }
    return false;
  }

 private:
  // Rows 0-255 by upper-cased byte; the last row, for empty names, holds every mask.
  static constexpr size_t kNoByte = 256;
  static size_t byteKey(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') ? byte - 'a' + 'A' : byte;
  }
  const uint64_t* row(const std::vector<uint64_t>& rows, size_t key) const {
    return rows.data() + key * m_words;
  }

  size_t m_words = 0;
  std::vector<uint64_t> m_byFirstByte;
  std::vector<uint64_t> m_byLastByte;
};

inline void setBit(MaskBits& bits, size_t number) {
  bits[number / 64] |= uint64_t{1} << (number % 64);
}

inline void unite(MaskBits& into, const MaskBits& from) {
  for (size_t i = 0; i < into.size(); ++i)
    into[i] |= from[i];
}

inline bool intersects(const MaskBits& a, const MaskBits& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if ((a[i] & b[i]) != 0)
      return true;
  }
  return false;
}

}  // namespace qinglan
