#include "host/session/SentMessageMonitor.h"

#include <array>
#include <cstdio>

namespace notecast::host {
namespace {

constexpr std::size_t kBytesColumn = 8;  // "90 3c 64" and "c0 05" line up

struct Kind {
  const char* name;
  const char* first;   // what the first data byte is
  const char* second;  // and the second; null for two-byte messages
};

// By the status byte's high nibble, 0x8 to 0xE.
constexpr std::array<Kind, 7> kKinds{{
    {"note off", "note", "velocity"},
    {"note on", "note", "velocity"},
    {"key pressure", "note", "pressure"},
    {"control change", "controller", "value"},
    {"program change", "program", nullptr},
    {"channel pressure", "pressure", nullptr},
    {"pitch bend", "value", nullptr},
}};

std::string hexBytes(const std::uint8_t* bytes, std::int32_t length) {
  std::string text;
  for (std::int32_t i = 0; i < length; ++i) {
    std::array<char, 4> hex{};
    std::snprintf(hex.data(), hex.size(), "%02x", bytes[i]);
    if (i > 0) text += ' ';
    text += hex.data();
  }
  return text;
}

}  // namespace

std::string describeMidiMessage(const std::uint8_t* bytes, std::int32_t length) {
  const int status = length > 0 ? bytes[0] : 0;
  if (status < 0x80 || status >= 0xF0)
    return std::to_string(length) + " bytes, not a channel message";
  const Kind& kind = kKinds[static_cast<std::size_t>((status >> 4) - 8)];
  const bool pitchBend = (status & 0xF0) == 0xE0;
  const std::int32_t needed = kind.second || pitchBend ? 3 : 2;
  if (length < needed) return std::string(kind.name) + ", cut short";
  std::string text = std::string(kind.name) + "  ch " + std::to_string((status & 0x0F) + 1) + "  " +
                     kind.first + " ";
  if (pitchBend) return text + std::to_string(bytes[1] | (bytes[2] << 7));
  text += std::to_string(bytes[1]);
  if (kind.second) text += std::string("  ") + kind.second + " " + std::to_string(bytes[2]);
  return text;
}

std::string sentMessageLine(const QTime& time, const std::uint8_t* bytes, std::int32_t length) {
  std::string hex = hexBytes(bytes, length);
  if (hex.size() < kBytesColumn) hex.resize(kBytesColumn, ' ');
  return time.toString(QStringLiteral("HH:mm:ss.zzz")).toStdString() + "  " + hex + "  " +
         describeMidiMessage(bytes, length);
}

void SentMessageMonitor::MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept {
  try {
    out_ << sentMessageLine(QTime::currentTime(), bytes, length) << std::endl;
  } catch (...) {
    // A line that cannot be written is left out; the message went out all the same.
  }
}

}  // namespace notecast::host
