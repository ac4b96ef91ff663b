#include "host/dmx/StdinDmxInput.h"

#include <cerrno>
#include <charconv>
#include <cstring>

namespace notecast::host {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::string_view kBlanks = " \t\r";

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
    : DmxInput(QStringLiteral("standard input"), 1), descriptor_(descriptor), warnings_(warnings) {}

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
  pending_.append(buffer, static_cast<std::size_t>(count));
  std::size_t start = 0;
  for (std::size_t newline; (newline = pending_.find('\n', start)) != std::string::npos;
       start = newline + 1) {
    takeLine(std::string_view(pending_).substr(start, newline - start));
  }
  pending_.erase(0, start);
  notifier_->setEnabled(!stopped_);
}

void StdinDmxInput::takeLine(std::string_view text) {
  ++lineNumber_;
  const Line line = parseLine(text);
  switch (line.kind) {
    case Line::Kind::kChange:
      takeChannel(line.change.channel, line.change.value);
      break;
    case Line::Kind::kBlank:
      break;
    case Line::Kind::kMalformed:
      warnings_ << "notecast-host: warning: standard input line " << lineNumber_
                << ": expected \"CHANNEL VALUE\" (channel 1.." << ChannelState::kMaxChannel
                << ", value 0.." << ChannelState::kMaxValue << "); skipped\n";
      break;
  }
}

// A last line without a line end still counts.
void StdinDmxInput::end() {
  stopped_ = true;
  if (!pending_.empty()) takeLine(pending_);
  pending_.clear();
  setState(QStringLiteral("ended"));
  emit finished();
}

}  // namespace notecast::host
