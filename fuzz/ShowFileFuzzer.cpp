// Arbitrary bytes as a recorded show, read frame by frame as a replay reads it, twice (a loop
// starts over). Checks that reading ends without a crash in frames that keep the format's
// promises (a universe 1.., at most 512 values), or in one readable error: no NUL, no control
// byte, a bounded length, whatever bytes the file holds.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "host/dmx/ChannelState.h"
#include "host/dmx/ShowFile.h"

namespace {

using notecast::host::ChannelState;
using notecast::host::ShowFile;
using notecast::host::ShowFrame;

// A broken promise: says which, then stops as a crash does, so libFuzzer keeps the input.
void check(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
  std::abort();
}

void checkMessage(std::string_view message) {
  check(!message.empty() && message.size() < 400);
  for (const char byte : message) check(static_cast<unsigned char>(byte) >= 0x20);
}

// The frames read to the end, or -1 when reading failed.
long readAll(ShowFile& show) {
  long frames = 0;
  try {
    while (const std::optional<ShowFrame> frame = show.next()) {
      check(frame->universe >= 1 && frame->universe <= ChannelState::kMaxUniverse);
      check(frame->values.size() <= ChannelState::kSlotsPerUniverse);
      ++frames;
    }
  } catch (const std::invalid_argument& error) {
    checkMessage(error.what());
    return -1;
  }
  if (!show.cutShort().isEmpty()) checkMessage(show.cutShort().toStdString());
  return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    ShowFile show = ShowFile::fromText(text, QStringLiteral("fuzz.show"));
    const long first = readAll(show);
    check(first != 0);  // opening promised a frame
    show.rewind();
    check(readAll(show) == first);
  } catch (const std::invalid_argument& error) {
    checkMessage(error.what());
  }
  return 0;
}
