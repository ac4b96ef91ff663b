// Arbitrary bytes as the host's standard input in `--dmx stdin` mode, read by the real input
// from a pipe until its end. Checks that every byte sequence ends the input (no hang, no crash)
// with changes in range, and warnings that stay readable and few: one line each, no NUL or
// control byte, at most the shown ones and the two closing lines.

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "host/dmx/StdinDmxInput.h"

namespace {

using notecast::host::ChannelState;
using notecast::host::DmxInput;
using notecast::host::StdinDmxInput;

// A broken promise: says which, then stops as a crash does, so libFuzzer keeps the input.
void check(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
  std::abort();
}

// Event loop turns before an input that has not ended counts as hung.
constexpr int kMaxTurns = 10000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static int argc = 1;
  static char name[] = "fuzz_stdin_lines";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);

  int ends[2];
  check(::pipe(ends) == 0);
  // The fuzzer's inputs are shorter than a pipe holds: all of it is there before the reader.
  check(::write(ends[1], data, size) == static_cast<ssize_t>(size));
  ::close(ends[1]);
  std::ostringstream warnings;
  {
    StdinDmxInput input(ends[0], warnings);
    bool ended = false;
    QObject::connect(&input, &DmxInput::finished, [&] { ended = true; });
    QObject::connect(&input, &DmxInput::failed, [&] { ended = true; });
    QObject::connect(&input, &DmxInput::changed, [](int channel, int value) {
      check(channel >= 1 && channel <= ChannelState::kMaxChannel);
      check(value >= 0 && value <= ChannelState::kMaxValue);
    });
    input.start();
    int turns = 0;
    while (!ended) {
      check(++turns <= kMaxTurns);
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }
  ::close(ends[0]);
  const std::string text = warnings.str();
  long lines = 0;
  std::size_t lineLength = 0;
  for (const char byte : text) {
    if (byte == '\n') {
      ++lines;
      lineLength = 0;
      continue;
    }
    check(static_cast<unsigned char>(byte) >= 0x20 && ++lineLength < 200);
  }
  check(text.empty() || text.back() == '\n');
  check(lines <= StdinDmxInput::kMaxLineWarnings + 2);
  return 0;
}
