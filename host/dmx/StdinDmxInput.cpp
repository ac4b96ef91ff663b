#include "host/dmx/StdinDmxInput.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace notecast::host {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::string_view kBlanks = " \t\r";

// Bytes no line of text holds; blanks and the '\r' of a "\r\n" line end are text.
bool isControl(char byte) {
  const auto code = static_cast<unsigned char>(byte);
  return (code < 0x20 && byte != '\t' && byte != '\r') || code == 0x7F;
}

std::string_view nextWord(std::string_view& rest) {
  const std::size_t start = rest.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const std::size_t end = std::min(rest.find_first_of(kBlanks), rest.size());
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end);
  return word;
}

// A decimal number in min..max, digits only (from_chars alone would take a leading '-').
bool parseNumber(std::string_view word, int min, int max, int* number) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string_view::npos) return false;
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) return false;
  if (value < min || value > max) return false;
  *number = value;
  return true;
}

}  // namespace

StdinDmxInput::StdinDmxInput(int descriptor, std::ostream& warnings)
    : DmxInput(QStringLiteral("standard input"), 1, warnings), descriptor_(descriptor) {}

StdinDmxInput::~StdinDmxInput() {
  stop();
}

void StdinDmxInput::start() {
  if (notifier_) return;
  notifier_ = std::make_unique<QSocketNotifier>(descriptor_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &StdinDmxInput::readAvailable);
  setState(QStringLiteral("running"));
}

void StdinDmxInput::stopSource() {
  if (!notifier_ || stopped_) return;
  stopped_ = true;
  notifier_->setEnabled(false);
  tellSkippedTotal();
  setState(QStringLiteral("stopped"));
}

StdinDmxInput::Line StdinDmxInput::parseLine(std::string_view text) {
  std::string_view rest = text;
  const std::string_view channelWord = nextWord(rest);
  if (channelWord.empty()) return {};
  const std::string_view valueWord = nextWord(rest);
  Line line;
  line.kind = Line::Kind::kMalformed;
  if (!nextWord(rest).empty()) return line;  // more than two words
  if (parseNumber(channelWord, 1, ChannelState::kMaxChannel, &line.change.channel) &&
      parseNumber(valueWord, 0, ChannelState::kMaxValue, &line.change.value)) {
    line.kind = Line::Kind::kChange;
  }
  return line;
}

// One read per wake-up: the event loop stays responsive however fast the input comes. The
// notifier sleeps while the lines are taken: a change can run a nested event loop (a message box
// of the plug-in), which must not read on in the middle of this chunk.
void StdinDmxInput::readAvailable() {
  notifier_->setEnabled(false);
  char buffer[kReadChunk];
  const ssize_t count = ::read(descriptor_, buffer, sizeof buffer);
  if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
    notifier_->setEnabled(!stopped_);
    return;
  }
  if (count < 0) {
    const int error = errno;
    stopped_ = true;
    fail(QStringLiteral("cannot read standard input: %1")
             .arg(QString::fromLocal8Bit(std::strerror(error))));
    return;
  }
  if (count == 0) {
    end();
    return;
  }
  takeBytes(std::string_view(buffer, static_cast<std::size_t>(count)));
  notifier_->setEnabled(!stopped_);
}

// Every byte is looked at once, as it comes: time stays linear in the input, and a line that
// cannot be taken is dropped at once rather than kept until its end.
void StdinDmxInput::takeBytes(std::string_view bytes) {
  while (!bytes.empty() && !stopped_) {  // a receiver may stop the input mid-chunk
    const std::size_t newline = bytes.find('\n');
    const std::string_view part = bytes.substr(0, newline);
    if (!skipping_) {
      const auto control = std::find_if(part.begin(), part.end(), isControl);
      const std::size_t column =
          pending_.size() + static_cast<std::size_t>(control - part.begin()) + 1;
      if (control != part.end() && column <= kMaxLineLength) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(*control));
        skipLine("not text (byte " + std::string(code) + " at column " + std::to_string(column) +
                 ")");
      } else if (pending_.size() + part.size() > kMaxLineLength) {
        skipLine("longer than " + std::to_string(kMaxLineLength) + " bytes");
      } else {
        pending_.append(part);
      }
    }
    if (newline == std::string_view::npos) return;
    endLine();
    bytes.remove_prefix(newline + 1);
  }
}

void StdinDmxInput::endLine() {
  ++lineNumber_;
  if (skipping_) {
    skipping_ = false;
    return;
  }
  const Line line = parseLine(pending_);
  switch (line.kind) {
    case Line::Kind::kChange:
      takeChannel(line.change.channel, line.change.value);
      break;
    case Line::Kind::kBlank:
      break;
    case Line::Kind::kMalformed:
      warn(lineNumber_, "expected \"CHANNEL VALUE\" (channel 1.." +
                            std::to_string(ChannelState::kMaxChannel) + ", value 0.." +
                            std::to_string(ChannelState::kMaxValue) + ")");
      break;
  }
  pending_.clear();
}

// Told as soon as the line is known to be skipped, with its number: a source without line ends
// (/dev/zero) would otherwise never hear of it.
void StdinDmxInput::skipLine(const std::string& reason) {
  skipping_ = true;
  pending_.clear();
  warn(lineNumber_ + 1, reason);
}

void StdinDmxInput::warn(qint64 line, const std::string& reason) {
  ++skippedLines_;
  if (skippedLines_ > kMaxLineWarnings) return;
  warnings() << "notecast-host: warning: standard input line " << line << ": " << reason
             << "; skipped\n";
  if (skippedLines_ == kMaxLineWarnings) {
    warnings() << "notecast-host: warning: standard input: further skipped lines are counted, not "
                  "shown\n";
  }
}

void StdinDmxInput::tellSkippedTotal() {
  if (totalTold_ || skippedLines_ <= kMaxLineWarnings) return;
  totalTold_ = true;
  warnings() << "notecast-host: warning: standard input: " << skippedLines_
             << " lines skipped in all\n";
}

// A last line without a line end still counts.
void StdinDmxInput::end() {
  stopped_ = true;
  if (skipping_ || !pending_.empty()) endLine();
  tellSkippedTotal();
  setState(QStringLiteral("ended"));
  emit finished();
}

}  // namespace notecast::host
