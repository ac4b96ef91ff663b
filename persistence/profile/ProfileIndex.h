#pragma once
// A hash index of numbered things (the sections or key lines of a profile document) whose names
// live elsewhere: the caller hashes a name and tells whether a numbered thing bears it. Open
// addressing in one array, so building and dropping an index of 330 000 keys costs a handful of
// allocations, not one per key. Entries are only ever added (until clear()).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace notecast {

class ProfileIndex {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  // The id added with this hash for which matches(id) holds, or kNone.
  template <class Matches>
  std::uint32_t find(std::uint64_t hash, Matches&& matches) const {
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.id == kNone) return kNone;
      if (slot.hash == hash && matches(slot.id)) return slot.id;
    }
  }

  // Adds id under hash. The caller MUST first make sure (find) that no id with an equal name is
  // in; where a name appears twice, only its first holder is added.
  void insert(std::uint64_t hash, std::uint32_t id);
  void clear();

 private:
  struct Slot {
    std::uint64_t hash = 0;  // the low bits choose the slot
    std::uint32_t id = kNone;
  };
  void grow();

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace notecast
