#include "scan/TextPool.h"

#include <cstring>
#include <functional>
#include <stdexcept>

namespace qinglan {

namespace {

constexpr unsigned kOffsetBits = 18;
constexpr size_t kBlockBytes = size_t{1} << kOffsetBits;
constexpr size_t kFirstSlots = 64;

uint32_t hashOf(std::string_view text) {
  const size_t full = std::hash<std::string_view>{}(text);
  return static_cast<uint32_t>(full ^ (full >> 32));
}

uint64_t slotOf(uint32_t hash, TextPool::Id id) {
  return (uint64_t{hash} << 32) | id;
}

}  // namespace

TextPool::TextPool() {
  clear();
}

void TextPool::clear() {
  m_blocks.clear();
  m_blockUsed = kBlockBytes;
  m_spans.clear();
  m_spans.shrink_to_fit();
  m_spans.push_back({0, 0});
  m_slots.assign(kFirstSlots, 0);
  m_slots.shrink_to_fit();
}

std::string_view TextPool::view(Id id) const {
  const Span& span = m_spans.at(id);
  if (span.length == 0)
    return {};
  return {m_blocks[span.place >> kOffsetBits].get() + (span.place & (kBlockBytes - 1)), span.length};
}

TextPool::Id TextPool::intern(std::string_view utf8) {
  if (utf8.empty())
    return kEmpty;
  const uint32_t hash = hashOf(utf8);
  const size_t mask = m_slots.size() - 1;
  size_t slot = hash & mask;
  for (; m_slots[slot] != 0; slot = (slot + 1) & mask) {
    const auto id = static_cast<Id>(m_slots[slot]);
    if ((m_slots[slot] >> 32) == hash && view(id) == utf8)
      return id;
  }
  const auto id = static_cast<Id>(m_spans.size());
  store(utf8);
  m_slots[slot] = slotOf(hash, id);
  if (m_spans.size() * 4 > m_slots.size() * 3)
    grow();
  return id;
}

void TextPool::store(std::string_view utf8) {
  // A long text gets a block of its own, so a shared block wastes at most a quarter of itself.
  const bool own = utf8.size() > kBlockBytes / 4;
  if (own || m_blockUsed + utf8.size() > kBlockBytes) {
    if (m_blocks.size() >> (32 - kOffsetBits) != 0)
      throw std::length_error("too much text in one list");
    m_blocks.push_back(std::make_unique<char[]>(own ? utf8.size() : kBlockBytes));
    m_blockUsed = 0;
  }
  const auto block = static_cast<uint32_t>(m_blocks.size() - 1);
  char* at = m_blocks.back().get() + m_blockUsed;
  std::memcpy(at, utf8.data(), utf8.size());
  m_spans.push_back(
      {(block << kOffsetBits) | static_cast<uint32_t>(m_blockUsed), static_cast<uint32_t>(utf8.size())});
  // A later short text must not land in a long text's block.
  m_blockUsed = own ? kBlockBytes : m_blockUsed + utf8.size();
}

void TextPool::grow() {
  std::vector<uint64_t> table(m_slots.size() * 2, 0);
  const size_t mask = table.size() - 1;
  for (uint64_t entry : m_slots) {
    if (entry == 0)
      continue;
    size_t slot = (entry >> 32) & mask;
    while (table[slot] != 0)
      slot = (slot + 1) & mask;
    table[slot] = entry;
  }
  m_slots = std::move(table);
}

}  // namespace qinglan
