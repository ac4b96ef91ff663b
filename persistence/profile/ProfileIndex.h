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
    const std::uint32_t kept = fold(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = kept & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.id == kNone) return kNone;
      if (slot.hash == kept && matches(slot.id)) return slot.id;
    }
  }

  // Adds id under hash. The caller MUST first make sure (find) that no id with an equal name is
  // in; where a name appears twice, only its first holder is added.
  void insert(std::uint64_t hash, std::uint32_t id);
  // Makes room for `count` ids in all, so that adding them allocates nothing more.
  void reserve(std::size_t count);
  void clear();

 private:
  // Half of a slot's eight bytes keep the hash, folded: enough to choose the slot and to pass
  // over most other names without asking matches().
  struct Slot {
    std::uint32_t hash = 0;  // the low bits choose the slot
    std::uint32_t id = kNone;
  };
  static std::uint32_t fold(std::uint64_t hash) noexcept {
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
  }
  void place(std::uint32_t hash, std::uint32_t id);
  void grow(std::size_t slots);

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace notecast
