#pragma once
// The last value of every DMX channel, and which channels a new frame changes.
//
// Channels: universe u's slot s (both from 1) is channel (u - 1) * 512 + s. Every channel starts
// at 0, so the first frame reports only its non-zero slots.
//
// The state is held for at most kMaxUniverses distinct universes (512 bytes each): a source that
// names ever new universes (standard input with random channels) cannot grow it without bound.
// Values of universes beyond that are refused, not reported as changes; refusedUniverse() tells
// the first such universe so the owner can say so once.
//
// Contract: not thread-safe; one owner.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace notecast::host {

struct ChannelChange {
  int channel = 0;
  int value = 0;
  friend bool operator==(const ChannelChange&, const ChannelChange&) = default;
};

class ChannelState {
 public:
  static constexpr int kSlotsPerUniverse = 512;
  static constexpr int kMaxValue = 255;
  // The highest universe whose channels still fit in the plug-in's 32-bit channel argument.
  static constexpr unsigned kMaxUniverse = 4194303;
  static constexpr int kMaxChannel = static_cast<int>(kMaxUniverse) * kSlotsPerUniverse;
  // Distinct universes whose state is kept: 2 MiB of values, far more than one host's rig feeds
  // a plug-in, and small enough for the small computers the headless bridge runs on.
  static constexpr std::size_t kMaxUniverses = 4096;

  // `universe` 1..kMaxUniverse, `slot` 1..512.
  static int channelOf(unsigned universe, int slot) noexcept;

  // The channel and value of each slot of a frame of `universe` (1..kMaxUniverse; none for
  // others), in ascending order. Slots past 512 belong to no channel of the universe.
  static std::vector<ChannelChange> valuesOfFrame(unsigned universe,
                                                  std::span<const std::uint8_t> values);
  // The same into `channels` (cleared first), whose room a caller may keep from frame to frame.
  static void valuesOfFrame(unsigned universe, std::span<const std::uint8_t> values,
                            std::vector<ChannelChange>& channels);

  // Takes a frame of `universe` (1..kMaxUniverse; others change nothing). A frame shorter than
  // 512 slots leaves the channels beyond it as they are. Returns the channels whose value
  // differs from before, in ascending order.
  std::vector<ChannelChange> applyFrame(unsigned universe, std::span<const std::uint8_t> values);

  // Takes one channel's value (channel 1..kMaxChannel, value 0..255); the change, if it is one.
  // A value of a universe beyond kMaxUniverses is refused: no change.
  std::optional<ChannelChange> applyChannel(int channel, int value);

  // Takes the value of each channel in `values` (in channel order, as a DmxFrame carries them);
  // the changes among them, in the same order.
  std::vector<ChannelChange> applyValues(const std::vector<ChannelChange>& values);
  // The same into `changes` (cleared first), whose room a caller may keep from frame to frame.
  void applyValues(const std::vector<ChannelChange>& values, std::vector<ChannelChange>& changes);

  // The last value of `channel`; 0 for one never set.
  int value(int channel) const;

  // The first universe whose values were refused (kMaxUniverses reached); 0 while none was.
  unsigned refusedUniverse() const noexcept { return refusedUniverse_; }
  // Values refused so far.
  std::int64_t refusedValues() const noexcept { return refusedValues_; }

 private:
  using Universe = std::vector<std::uint8_t>;  // kSlotsPerUniverse values

  // The state of universe `number`, created if there is room; null when there is none.
  Universe* universe(unsigned number);

  std::unordered_map<unsigned, Universe> universes_;
  unsigned refusedUniverse_ = 0;
  std::int64_t refusedValues_ = 0;
};

}  // namespace notecast::host
