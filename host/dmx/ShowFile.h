#pragma once
// A recording of DMX frames in the show file format of OLA's recorder:
//
//   OLA Show
//   1 0,255,12          <- universe, then the frame's slot values separated by commas
//   40                  <- milliseconds until the next frame
//   2 7,7
//
// The header line comes first; frame and delay lines alternate; the last frame has no delay
// after it. Line ends may be "\n" or "\r\n"; empty lines at the end are ignored.

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
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

  // Reads and parses the file at `path`. Throws std::invalid_argument naming the file (and the
  // line) when it cannot be read, is not a show file, or holds no frame.
  static ShowFile load(const QString& path);
  // Parses `text`; `name` is used in error messages only. Throws like load().
  static ShowFile parse(const QByteArray& text, const QString& name);

  const std::vector<ShowFrame>& frames() const { return frames_; }

 private:
  std::vector<ShowFrame> frames_;
};

}  // namespace notecast::host
