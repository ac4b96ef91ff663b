#include "host/dmx/ChannelState.h"

#include <algorithm>

namespace notecast::host {

int ChannelState::channelOf(unsigned universe, int slot) noexcept {
  return static_cast<int>(universe - 1) * kSlotsPerUniverse + slot;
}

std::vector<ChannelChange> ChannelState::valuesOfFrame(unsigned universe,
                                                       std::span<const std::uint8_t> values) {
  std::vector<ChannelChange> channels;
  valuesOfFrame(universe, values, channels);
  return channels;
}

void ChannelState::valuesOfFrame(unsigned universe, std::span<const std::uint8_t> values,
                                 std::vector<ChannelChange>& channels) {
  channels.clear();
  if (universe < 1 || universe > kMaxUniverse) return;
  const std::size_t count = std::min<std::size_t>(values.size(), kSlotsPerUniverse);
  channels.reserve(count);
  for (std::size_t index = 0; index < count; ++index) {
    channels.push_back({channelOf(universe, static_cast<int>(index) + 1), values[index]});
  }
}

std::vector<ChannelChange> ChannelState::applyFrame(unsigned universe,
                                                    std::span<const std::uint8_t> values) {
  return applyValues(valuesOfFrame(universe, values));
}

std::optional<ChannelChange> ChannelState::applyChannel(int channel, int value) {
  if (channel < 1 || channel > kMaxChannel || value < 0 || value > kMaxValue) return std::nullopt;
  const unsigned number = static_cast<unsigned>((channel - 1) / kSlotsPerUniverse) + 1;
  Universe* values = universe(number);
  if (!values) {
    if (refusedUniverse_ == 0) refusedUniverse_ = number;
    ++refusedValues_;
    return std::nullopt;
  }
  std::uint8_t& last = (*values)[static_cast<std::size_t>((channel - 1) % kSlotsPerUniverse)];
  if (last == value) return std::nullopt;
  last = static_cast<std::uint8_t>(value);
  return ChannelChange{channel, value};
}

std::vector<ChannelChange> ChannelState::applyValues(const std::vector<ChannelChange>& values) {
  std::vector<ChannelChange> changes;
  applyValues(values, changes);
  return changes;
}

// A frame's values belong to one universe, mostly: its state is looked up once per run of them.
void ChannelState::applyValues(const std::vector<ChannelChange>& values,
                               std::vector<ChannelChange>& changes) {
  changes.clear();
  unsigned current = 0;
  Universe* slots = nullptr;
  for (const ChannelChange& value : values) {
    if (value.channel < 1 || value.channel > kMaxChannel || value.value < 0 ||
        value.value > kMaxValue)
      continue;
    const unsigned number = static_cast<unsigned>((value.channel - 1) / kSlotsPerUniverse) + 1;
    if (number != current || !slots) {
      current = number;
      slots = universe(number);
    }
    if (!slots) {
      if (refusedUniverse_ == 0) refusedUniverse_ = number;
      ++refusedValues_;
      continue;
    }
    std::uint8_t& last =
        (*slots)[static_cast<std::size_t>((value.channel - 1) % kSlotsPerUniverse)];
    if (last == value.value) continue;
    last = static_cast<std::uint8_t>(value.value);
    changes.push_back(value);
  }
}

int ChannelState::value(int channel) const {
  if (channel < 1 || channel > kMaxChannel) return 0;
  const auto found = universes_.find(static_cast<unsigned>((channel - 1) / kSlotsPerUniverse) + 1);
  if (found == universes_.end()) return 0;
  return found->second[static_cast<std::size_t>((channel - 1) % kSlotsPerUniverse)];
}

ChannelState::Universe* ChannelState::universe(unsigned number) {
  if (const auto found = universes_.find(number); found != universes_.end()) return &found->second;
  if (universes_.size() >= kMaxUniverses) return nullptr;
  return &universes_.emplace(number, Universe(kSlotsPerUniverse, 0)).first->second;
}

}  // namespace notecast::host
