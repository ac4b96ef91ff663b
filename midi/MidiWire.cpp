#include "midi/MidiWire.h"

#include <algorithm>

namespace notecast {
namespace {

constexpr std::int32_t kStatusMin = 0x80;
constexpr std::int32_t kStatusMax = 0xFF;
constexpr std::int32_t kKindMask = 0xF0;  // high nibble of a channel status: the message kind
constexpr std::int32_t kProgramChange = 0xC0;
constexpr std::int32_t kChannelPressure = 0xD0;
constexpr std::int32_t kSystem = 0xF0;

constexpr std::size_t kStatusOnly = 1;
constexpr std::size_t kOneDataByte = 2;
constexpr std::size_t kTwoDataBytes = 3;
constexpr std::size_t kNotAShortMessage = 0;

// Lengths of the system messages 0xF0..0xFF, indexed by the low nibble.
constexpr std::size_t kSystemLength[] = {
    kNotAShortMessage,  // F0 SysEx start
    kOneDataByte,       // F1 time code quarter frame
    kTwoDataBytes,      // F2 song position
    kOneDataByte,       // F3 song select
    kNotAShortMessage,  // F4 undefined
    kNotAShortMessage,  // F5 undefined
    kStatusOnly,        // F6 tune request
    kNotAShortMessage,  // F7 SysEx end
    kStatusOnly,        // F8 timing clock
    kNotAShortMessage,  // F9 undefined
    kStatusOnly,        // FA start
    kStatusOnly,        // FB continue
    kStatusOnly,        // FC stop
    kNotAShortMessage,  // FD undefined
    kStatusOnly,        // FE active sensing
    kStatusOnly,        // FF reset
};

}  // namespace

std::size_t MidiWire::messageLength(std::int32_t status) {
  if (status < kStatusMin || status > kStatusMax) return kNotAShortMessage;
  const std::int32_t kind = status & kKindMask;
  if (kind == kSystem) return kSystemLength[status - kSystem];
  if (kind == kProgramChange || kind == kChannelPressure) return kOneDataByte;
  return kTwoDataBytes;
}

unsigned char MidiWire::dataByte(std::int32_t value) {
  return static_cast<unsigned char>(std::clamp(value, kDataMin, kDataMax));
}

std::vector<unsigned char> MidiWire::shortMessage(std::int32_t status, std::int32_t data1,
                                                  std::int32_t data2) {
  const std::size_t length = messageLength(status);
  if (length == kNotAShortMessage) return {};
  std::vector<unsigned char> bytes{static_cast<unsigned char>(status), dataByte(data1),
                                   dataByte(data2)};
  bytes.resize(length);
  return bytes;
}

}  // namespace notecast
