#pragma once
// A recording of DMX frames in the show file format of OLA's recorder:
//
//   OLA Show
//   1 0,255,12          <- universe, then the frame's slot values separated by commas
//   40                  <- milliseconds until the next frame
//   2 7,7
//
// The header line comes first; frame and delay lines alternate; the last frame has no delay
// after it (one there is kept as its delay). Line ends may be "\n" or "\r\n"; empty lines at the
// end are ignored.
//
// The recording is read as it plays, one frame at a time and no line longer than
// kMaxLineLength, so memory stays flat however long it is (or endless, as /dev/zero). A mistake
// is therefore found when its line is reached; only the header and the first frame are checked
// on opening. A last line without its line end (a recording cut off while it was written, maybe
// inside a number that still reads) is left out rather than rejected or played, and cutShort()
// tells it.
//
// Contract: not thread-safe; one owner.

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace notecast::host {

struct ShowFrame {
  unsigned universe = 0;
  std::vector<std::uint8_t> values;         // as recorded: up to 512, possibly fewer
  std::chrono::milliseconds delayAfter{0};  // 0 after the last frame
};

class ShowFile {
 public:
  static constexpr const char* kHeader = "OLA Show";
  // Room for the longest line the format allows: 512 values of up to 18 digits with commas.
  static constexpr qint64 kMaxLineLength = 16384;

  // Opens the file at `path` and reads it up to its first frame. Throws std::invalid_argument
  // naming the file (and the line) when it cannot be read, is not a show file, or holds no frame.
  static ShowFile open(const QString& path);
  // The same over `text`; `name` is used in messages only.
  static ShowFile fromText(const QByteArray& text, const QString& name);

  // The next frame; none at the end of the recording. Throws std::invalid_argument naming the
  // file and the line for a malformed line or a failing read.
  std::optional<ShowFrame> next();
  // Back to the first frame. Throws like open(), also for a file that cannot be read again (a
  // pipe).
  void rewind();
  // Why the recording's last line was left out ("NAME: line N: ..."); empty while none was.
  QString cutShort() const;

 private:
  enum class LineEnd { kNone, kNewline, kEndOfFile, kTooLong };

  ShowFile(std::unique_ptr<QIODevice> device, QString name);

  void readHeader();
  LineEnd readLine();
  bool restIsEmpty();
  [[noreturn]] void fail(qint64 lineNumber, const QString& reason) const;

  std::unique_ptr<QIODevice> device_;
  QString name_;
  std::vector<char> buffer_;  // a line and its end, and readLine()'s closing NUL
  std::string_view line_;     // the line last read, in buffer_, without its line end
  qint64 lineNumber_ = 0;     // of line_, from 1
  bool ended_ = false;
  std::optional<ShowFrame> first_;  // read by open() or rewind(), not yet taken
  qint64 cutLine_ = 0;              // the last line, left out; 0 while none was
  QString cutReason_;
};

}  // namespace notecast::host
