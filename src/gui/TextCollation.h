#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <QCollator>

#include "scan/TextPool.h"

namespace qinglan::gui {

// The interface is Simplified Chinese, so text sorts as a reader of it expects (by pinyin).
const QCollator& interfaceCollator();

// Sort keys for texts of printable ASCII alone that order them as `collator` does, built from a
// table of each character's weights that the collator itself orders: a key is a byte compare
// away, where the collator's own key costs a conversion and a trip through its tables. The table
// is checked against the collator on texts that mix letters, case, digits and punctuation; when
// it fails, no text gets a fast key and every one goes to the collator.
class AsciiCollationKeys {
 public:
  explicit AsciiCollationKeys(const QCollator& collator);

  bool usable() const { return m_usable; }
  // Appends the key of `text` to `keys`; false, appending nothing, when the text is not printable
  // ASCII throughout or the table is not usable.
  bool append(std::string_view text, std::string& keys) const;

 private:
  static constexpr char kFirst = 0x20;
  static constexpr char kLast = 0x7e;
  unsigned char m_primary[kLast - kFirst + 1] = {};
  unsigned char m_tertiary[kLast - kFirst + 1] = {};
  bool m_usable = false;
};

// The rank of each of `ids`, distinct texts of `pool`, in the interface collation's order, as a
// table indexed by id (texts not asked for rank 0). Texts the collation finds equal share a rank.
std::vector<int> collationRanks(const TextPool& pool, const std::vector<TextPool::Id>& ids);

}  // namespace qinglan::gui
