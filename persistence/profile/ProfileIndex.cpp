#include "persistence/profile/ProfileIndex.h"

namespace notecast {
namespace {

constexpr std::size_t kInitialSlots = 64;

}  // namespace

void ProfileIndex::insert(std::uint64_t hash, std::uint32_t id) {
  // At most half full, so that probe runs stay short.
  if ((count_ + 1) * 2 > slots_.size()) grow(slots_.empty() ? kInitialSlots : slots_.size() * 2);
  place(fold(hash), id);
}

void ProfileIndex::place(std::uint32_t hash, std::uint32_t id) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i].id != kNone) i = (i + 1) & mask;
  slots_[i] = Slot{hash, id};
  ++count_;
}

void ProfileIndex::reserve(std::size_t count) {
  std::size_t slots = slots_.empty() ? kInitialSlots : slots_.size();
  while (count * 2 > slots) slots *= 2;
  if (slots != slots_.size()) grow(slots);
}

void ProfileIndex::clear() {
  slots_.clear();
  count_ = 0;
}

void ProfileIndex::grow(std::size_t slots) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(slots, Slot{});
  count_ = 0;
  for (const Slot& slot : old)
    if (slot.id != kNone) place(slot.hash, slot.id);
}

}  // namespace notecast
