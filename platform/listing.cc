#include "platform/listing.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/system.h"

namespace varnel {

namespace {

inline std::uint64_t ByteSwap(std::uint64_t word) {
#if defined(_MSC_VER) && !defined(__clang__)
  return _byteswap_uint64(word);
#else
  return __builtin_bswap64(word);
#endif
}

inline unsigned char FoldedByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
}

// The eight bytes of `word` with the ASCII letters a-z taken as A-Z, all at once: a byte is a small letter
// when its high bit is clear and its low seven bits lie in 0x61-0x7A; 0x20 is taken off exactly those.
inline std::uint64_t FoldedWord(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  const std::uint64_t low_bits = word & (0x7F * kOnes);
  const std::uint64_t from_a = low_bits + (0x80 - 'a') * kOnes;      // high bit set: at least 'a'
  const std::uint64_t past_z = low_bits + (0x80 - 'z' - 1) * kOnes;  // high bit set: above 'z'
  const std::uint64_t small_letters = from_a & ~past_z & ~word & (0x80 * kOnes);
  return word - (small_letters >> 2);
}

// One item of the sort: the folded bytes of the name from the current depth, as a number whose order is their
// order (big-endian, zero past the end: no name holds a NUL byte), and the name itself.
struct SortItem {
  std::uint64_t key;
  const char* name;
  std::uint32_t size;
  std::uint32_t index;  // the name's place in the unsorted listing
};

inline std::uint64_t KeyAt(const char* name, std::size_t size, std::size_t depth) {
  std::uint64_t word = 0;
  if (depth < size) std::memcpy(&word, name + depth, std::min<std::size_t>(8, size - depth));
  word = FoldedWord(word);
  if constexpr (std::endian::native == std::endian::little) word = ByteSwap(word);
  return word;
}

bool ItemLess(const SortItem& a, const SortItem& b) {
  return ListedNameLess(std::string_view(a.name, a.size), std::string_view(b.name, b.size));
}

// Sorts `items`, whose names are equal (folded) before `depth` and whose keys are those at `depth`, by
// ListedNameLess. A multikey quicksort: the items split three ways on the key; those of the pivot's key go on
// with the next eight bytes. The largest part is carried on in the loop and the others recursed into, so the
// recursion stays shallow; past `budget` rounds the rest is left to a comparison sort.
void SortItems(SortItem* items, std::size_t count, std::size_t depth, int budget) {
  constexpr std::size_t kSmall = 12;
  while (count > 1) {
    if (count <= kSmall || budget-- <= 0) {
      std::sort(items, items + count, ItemLess);
      return;
    }
    const std::uint64_t k0 = items[0].key;
    const std::uint64_t k1 = items[count / 2].key;
    const std::uint64_t k2 = items[count - 1].key;
    const std::uint64_t pivot = std::max(std::min(k0, k1), std::min(std::max(k0, k1), k2));
    std::size_t less = 0;
    std::size_t at = 0;
    std::size_t greater = count;
    while (at < greater) {
      if (items[at].key < pivot) {
        std::swap(items[less++], items[at++]);
      } else if (items[at].key > pivot) {
        std::swap(items[at], items[--greater]);
      } else {
        ++at;
      }
    }
    SortItem* const equal = items + less;
    const std::size_t equal_count = greater - less;
    // Names that end within this key are equal but for case: their raw bytes decide.
    const bool equal_ended = (pivot & 0xFF) == 0;
    if (equal_ended) {
      std::sort(equal, equal + equal_count, [](const SortItem& a, const SortItem& b) {
        return std::string_view(a.name, a.size) < std::string_view(b.name, b.size);
      });
    } else {
      for (std::size_t i = 0; i < equal_count; ++i) equal[i].key = KeyAt(equal[i].name, equal[i].size, depth + 8);
    }
    const std::size_t greater_count = count - greater;
    const std::size_t equal_open = equal_ended ? 0 : equal_count;
    if (equal_open >= less && equal_open >= greater_count) {
      SortItems(items, less, depth, budget);
      SortItems(items + greater, greater_count, depth, budget);
      items = equal;
      count = equal_open;
      depth += 8;
    } else if (less >= greater_count) {
      SortItems(equal, equal_open, depth + 8, budget);
      SortItems(items + greater, greater_count, depth, budget);
      count = less;
    } else {
      SortItems(items, less, depth, budget);
      SortItems(equal, equal_open, depth + 8, budget);
      items += greater;
      count = greater_count;
    }
  }
}

}  // namespace

bool ListedNameLess(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t i = 0;
  for (; i + 8 <= common; i += 8) {
    std::uint64_t wa, wb;
    std::memcpy(&wa, a.data() + i, 8);
    std::memcpy(&wb, b.data() + i, 8);
    if (wa == wb) continue;
    wa = FoldedWord(wa);
    wb = FoldedWord(wb);
    if (wa == wb) continue;
    if constexpr (std::endian::native == std::endian::little) {
      wa = ByteSwap(wa);
      wb = ByteSwap(wb);
    }
    return wa < wb;
  }
  for (; i < common; ++i) {
    const unsigned char fa = FoldedByte(a[i]);
    const unsigned char fb = FoldedByte(b[i]);
    if (fa != fb) return fa < fb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // equal but for the case of ASCII letters: raw bytes decide
}

namespace {

// Sorts items whose keys are those at depth 0.
void SortAllItems(std::vector<SortItem>& items) {
  // Enough rounds for the names' length in keys plus twice the depth of a balanced split.
  const int budget = 2 * std::bit_width(items.size()) + 160;
  SortItems(items.data(), items.size(), 0, budget);
}

SortItem ItemOf(std::string_view name, std::size_t index) {
  return SortItem{KeyAt(name.data(), name.size(), 0), name.data(), static_cast<std::uint32_t>(name.size()),
                  static_cast<std::uint32_t>(index)};
}

}  // namespace

std::vector<std::string> GatheredNames::Sorted() const {
  std::vector<SortItem> items;
  items.reserve(spans_.size());
  for (const auto& [offset, size] : spans_) items.push_back(ItemOf({bytes_.data() + offset, size}, items.size()));
  SortAllItems(items);
  std::vector<std::string> names;
  names.reserve(items.size());
  for (const SortItem& item : items) names.emplace_back(item.name, item.size);
  return names;
}

void SortListedNames(std::vector<std::string>* names) {
  std::vector<SortItem> items;
  items.reserve(names->size());
  for (const std::string& name : *names) items.push_back(ItemOf(name, items.size()));
  SortAllItems(items);
  std::vector<std::string> sorted;
  sorted.reserve(names->size());
  for (const SortItem& item : items) sorted.push_back(std::move((*names)[item.index]));
  names->swap(sorted);
}

Status ListOrdinaryFiles(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  GatheredNames gathered;
  if (Status status = GatherOrdinaryFiles(folder, &gathered); !status.ok())
    return std::move(status).About("read", folder);
  *names = gathered.Sorted();
  return Status::Ok();
}

}  // namespace varnel
