#pragma once
// DMX input from lines of text: "CHANNEL VALUE" in decimal, one change per line, as a user or
// another program types them. Each line counts as one frame. Channels are channel numbers
// already (universe 2 slot 1 is 513). Blank lines are skipped; any other line that is not a
// channel 1..ChannelState::kMaxChannel and a value 0..255 gets one warning naming its line number
// and is skipped. So does a line longer than kMaxLineLength or one holding control bytes (binary
// data): it is dropped as it comes, so memory stays flat whatever the input. After
// kMaxLineWarnings warnings further skipped lines are only counted, and the total is told when
// the input ends or stops. The end of the input ends the source (`finished`); a failing read ends
// it as a failure (`failed`).
//
// Reading never blocks the event loop: a socket notifier wakes the input when the descriptor has
// data, and each wake-up reads what is there.
//
// Contract: main thread; the descriptor stays open while the input lives; the input does not
// close it.

#include <unistd.h>
#include <QSocketNotifier>
#include <QString>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "host/dmx/DmxInput.h"

namespace notecast::host {

class StdinDmxInput : public DmxInput {
  Q_OBJECT

 public:
  // What one line says.
  struct Line {
    enum class Kind { kChange, kBlank, kMalformed };
    Kind kind = Kind::kBlank;
    ChannelChange change;  // for kChange
  };

  // The longest line taken; a valid one needs 14 characters, the rest leaves room for blanks.
  static constexpr std::size_t kMaxLineLength = 1024;
  // Skipped lines told one by one; a binary input would otherwise flood the log.
  static constexpr qint64 kMaxLineWarnings = 100;

  // Reads `descriptor` (standard input by default); warnings go to `warnings`, which MUST
  // outlive the input.
  explicit StdinDmxInput(int descriptor = STDIN_FILENO, std::ostream& warnings = std::cerr);
  ~StdinDmxInput() override;

  void start() override;

  // Parses one line without its line end ("\r" at the end is allowed).
  static Line parseLine(std::string_view text);

 private:
  void stopSource() override;
  void readAvailable();
  void takeBytes(std::string_view bytes);
  void endLine();
  void skipLine(const std::string& reason);
  void warn(qint64 line, const std::string& reason);
  void tellSkippedTotal();
  void end();

  int descriptor_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::string pending_;    // a line read in part, at most kMaxLineLength bytes
  bool skipping_ = false;  // the line read in part is skipped (told already) up to its end
  qint64 lineNumber_ = 0;  // lines ended so far
  qint64 skippedLines_ = 0;
  bool totalTold_ = false;
  bool stopped_ = false;  // by stop() or the end of the input: the notifier stays off
};

}  // namespace notecast::host
