#include "host/dmx/ChannelState.h"

#include <algorithm>

namespace notecast::host {

int ChannelState::channelOf(unsigned universe, int slot) noexcept {
  return static_cast<int>(universe - 1) * kSlotsPerUniverse + slot;
}

std::vector<ChannelChange> ChannelState::valuesOfFrame(unsigned universe,
                                                       std::span<const std::uint8_t> values) {
  std::vector<ChannelChange> channels;
  if (universe < 1 || universe > kMaxUniverse) return channels;
  const std::size_t count = std::min<std::size_t>(values.size(), kSlotsPerUniverse);
  channels.reserve(count);
  for (std::size_t index = 0; index < count; ++index) {
    channels.push_back({channelOf(universe, static_cast<int>(index) + 1), values[index]});
  }
  return channels;
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
  for (const ChannelChange& value : values) {
    if (const auto change = applyChannel(value.channel, value.value)) changes.push_back(*change);
  }
  return changes;
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
