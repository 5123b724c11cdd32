#include "search/MaskTable.h"

#include "search/Mask.h"

namespace qinglan {

MaskTable::MaskTable(const std::vector<const Mask*>& masks)
    : m_words((masks.size() + 63) / 64),
      m_byFirstByte((kNoByte + 1) * m_words, 0),
      m_byLastByte((kNoByte + 1) * m_words, 0) {
  for (size_t number = 0; number < masks.size(); ++number) {
    const Mask& mask = *masks[number];
    const size_t word = number / 64;
    const uint64_t bit = uint64_t{1} << (number % 64);
    for (size_t key = 0; key <= kNoByte; ++key) {
      const bool any = key == kNoByte || !mask.valid();
      if (any || mask.firstByte() == 0 || mask.firstByte() == key)
        m_byFirstByte[key * m_words + word] |= bit;
      if (any || mask.lastByte() == 0 || mask.lastByte() == key)
        m_byLastByte[key * m_words + word] |= bit;
    }
  }
}

}  // namespace qinglan
