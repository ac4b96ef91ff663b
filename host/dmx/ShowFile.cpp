#include "host/dmx/ShowFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "host/dmx/ChannelState.h"

namespace notecast::host {
namespace {

// A delay longer than a day is a broken file rather than a show.
constexpr qint64 kMaxDelayMs = 24LL * 60 * 60 * 1000;
// A value quoted in a message is cut after this many bytes: a broken line may be 16 KiB long.
constexpr std::size_t kMaxQuoted = 40;

const QString kFrameExpected =
    QStringLiteral("expected \"UNIVERSE V1,V2,...\" with a universe from 1");
const QString kDelayExpected = QStringLiteral("expected a delay in milliseconds");
const QString kNoLineEnd = QStringLiteral("no line end");

// `text` with C escapes for what is no printable ASCII: a NUL or a control byte in a broken file
// must neither cut the message short nor garble the terminal.
QString escaped(std::string_view text) {
  std::string out;
  for (const char byte : text.substr(0, kMaxQuoted)) {
    const auto code = static_cast<unsigned char>(byte);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += byte;
    } else if (code >= 0x20 && code < 0x7F) {
      out += byte;
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", code);
      out += hex;
    }
  }
  if (text.size() > kMaxQuoted) out += "...";
  return QString::fromStdString(out);
}

// A decimal number without sign, or nothing for anything else (no blanks, no '+').
bool parseNumber(std::string_view text, qint64 max, qint64* number) {
  if (text.empty() || text.size() > std::numeric_limits<qint64>::digits10) return false;
  qint64 value = 0;
  for (const char digit : text) {
    if (digit < '0' || digit > '9') return false;
    value = value * 10 + (digit - '0');
  }
  if (value > max) return false;
  *number = value;
  return true;
}

// Fills `frame` from a frame line; the reason it is malformed, or an empty text.
QString parseFrame(std::string_view line, ShowFrame* frame) {
  const std::size_t blank = line.find(' ');
  qint64 universe = 0;
  if (blank == std::string_view::npos ||
      !parseNumber(line.substr(0, blank), ChannelState::kMaxUniverse, &universe) || universe < 1) {
    return kFrameExpected;
  }
  frame->universe = static_cast<unsigned>(universe);
  frame->values.clear();
  std::string_view values = line.substr(blank + 1);
  if (values.empty()) return {};  // the recorder writes an empty frame this way
  if (std::count(values.begin(), values.end(), ',') >= ChannelState::kSlotsPerUniverse) {
    return QStringLiteral("more than %1 values").arg(ChannelState::kSlotsPerUniverse);
  }
  frame->values.reserve(ChannelState::kSlotsPerUniverse);
  for (bool more = true; more;) {
    const std::size_t comma = values.find(',');
    const std::string_view item = values.substr(0, comma);
    qint64 value = 0;
    if (!parseNumber(item, ChannelState::kMaxValue, &value)) {
      return QStringLiteral("\"%1\" is not a value 0..255").arg(escaped(item));
    }
    frame->values.push_back(static_cast<std::uint8_t>(value));
    more = comma != std::string_view::npos;
    if (more) values.remove_prefix(comma + 1);
  }
  return {};
}

}  // namespace

ShowFile::ShowFile(std::unique_ptr<QIODevice> device, QString name)
    : device_(std::move(device)),
      name_(std::move(name)),
      buffer_(static_cast<std::size_t>(kMaxLineLength) + 2) {
  readHeader();
}

ShowFile ShowFile::open(const QString& path) {
  if (QFileInfo(path).isDir()) {
    throw std::invalid_argument(("cannot read show file " + path + ": is a folder").toStdString());
  }
  auto file = std::make_unique<QFile>(path);
  if (!file->open(QIODevice::ReadOnly)) {
    throw std::invalid_argument(
        ("cannot read show file " + path + ": " + file->errorString()).toStdString());
  }
  return ShowFile(std::move(file), path);
}

ShowFile ShowFile::fromText(const QByteArray& text, const QString& name) {
  auto buffer = std::make_unique<QBuffer>();
  buffer->setData(text);
  buffer->open(QIODevice::ReadOnly);
  return ShowFile(std::move(buffer), name);
}

void ShowFile::rewind() {
  if (!device_->seek(0)) {
    throw std::invalid_argument(
        QStringLiteral("%1: cannot be read again from its start").arg(name_).toStdString());
  }
  lineNumber_ = 0;
  ended_ = false;
  readHeader();
}

// The header and the first frame: a file that is no show fails here, before anything plays.
void ShowFile::readHeader() {
  first_.reset();
  const QString notAShow =
      QStringLiteral("not a show file (the first line is not \"%1\")").arg(kHeader);
  if (readLine() == LineEnd::kTooLong || line_ != kHeader) fail(1, notAShow);
  first_ = next();
  if (!first_) {
    if (cutLine_ > 0 && cutReason_ == kNoLineEnd)
      fail(cutLine_, QStringLiteral("the only frame has no line end: it may be cut short"));
    if (cutLine_ > 0) fail(cutLine_, cutReason_);
    fail(1, QStringLiteral("no frames"));
  }
}

std::optional<ShowFrame> ShowFile::next() {
  if (first_) return std::exchange(first_, std::nullopt);
  if (ended_) return std::nullopt;
  ShowFrame frame;
  switch (readLine()) {
    case LineEnd::kNone:
      ended_ = true;
      return std::nullopt;
    case LineEnd::kTooLong:
      fail(lineNumber_, QStringLiteral("longer than %1 bytes").arg(kMaxLineLength));
    case LineEnd::kNewline:
      if (line_.empty()) {
        const qint64 emptyLine = lineNumber_;
        if (!restIsEmpty()) fail(emptyLine, kFrameExpected);
        ended_ = true;
        return std::nullopt;
      }
      if (const QString reason = parseFrame(line_, &frame); !reason.isEmpty()) {
        fail(lineNumber_, reason);
      }
      break;
    case LineEnd::kEndOfFile: {
      // Cut while it was written, the line may have lost digits and still read ("1 25" of
      // "1 255"): it never plays.
      const QString reason = parseFrame(line_, &frame);
      cutLine_ = lineNumber_;
      cutReason_ = reason.isEmpty() ? kNoLineEnd : reason;
      ended_ = true;
      return std::nullopt;
    }
  }
  qint64 delay = 0;
  switch (readLine()) {
    case LineEnd::kNone:
      ended_ = true;
      break;
    case LineEnd::kTooLong:
      fail(lineNumber_, QStringLiteral("longer than %1 bytes").arg(kMaxLineLength));
    case LineEnd::kNewline:
      if (line_.empty()) {
        const qint64 emptyLine = lineNumber_;
        if (!restIsEmpty()) fail(emptyLine, kDelayExpected);
        ended_ = true;
      } else if (!parseNumber(line_, kMaxDelayMs, &delay)) {
        fail(lineNumber_, kDelayExpected);
      }
      break;
    case LineEnd::kEndOfFile:
      cutLine_ = lineNumber_;
      cutReason_ = parseNumber(line_, kMaxDelayMs, &delay) ? kNoLineEnd : kDelayExpected;
      delay = 0;
      ended_ = true;
      break;
  }
  frame.delayAfter = std::chrono::milliseconds(delay);
  return frame;
}

QString ShowFile::cutShort() const {
  if (cutLine_ == 0) return {};
  return QStringLiteral("%1: line %2: cut short at the end of the recording (%3); left out")
      .arg(name_)
      .arg(cutLine_)
      .arg(cutReason_);
}

// Reads one line into line_, without "\n" or "\r\n"; at most kMaxLineLength bytes are kept.
ShowFile::LineEnd ShowFile::readLine() {
  const qint64 count = device_->readLine(buffer_.data(), static_cast<qint64>(buffer_.size()));
  if (count <= 0) {
    line_ = {};
    if (auto* file = qobject_cast<QFileDevice*>(device_.get());
        file && file->error() != QFileDevice::NoError) {
      fail(lineNumber_ + 1, QStringLiteral("cannot read: %1").arg(file->errorString()));
    }
    return LineEnd::kNone;
  }
  ++lineNumber_;
  line_ = std::string_view(buffer_.data(), static_cast<std::size_t>(count));
  const bool newline = line_.back() == '\n';
  if (newline) line_.remove_suffix(1);
  if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
  if (!newline && count > kMaxLineLength) return LineEnd::kTooLong;
  return newline ? LineEnd::kNewline : LineEnd::kEndOfFile;
}

// Whether only empty lines follow to the end; reads up to the first other one.
bool ShowFile::restIsEmpty() {
  for (;;) {
    const LineEnd end = readLine();
    if (end == LineEnd::kNone) return true;
    if (end == LineEnd::kTooLong || !line_.empty()) return false;
  }
}

void ShowFile::fail(qint64 lineNumber, const QString& reason) const {
  throw std::invalid_argument(
      QStringLiteral("%1: line %2: %3").arg(name_).arg(lineNumber).arg(reason).toStdString());
}

}  // namespace notecast::host
