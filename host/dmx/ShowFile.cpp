#include "host/dmx/ShowFile.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <limits>
#include <stdexcept>
#include <string>

#include "host/dmx/ChannelState.h"

namespace notecast::host {
namespace {

constexpr qsizetype kHeaderLines = 1;
// A delay longer than a day is a broken file rather than a show.
constexpr qint64 kMaxDelayMs = 24LL * 60 * 60 * 1000;

[[noreturn]] void fail(const QString& name, qsizetype lineIndex, const QString& reason) {
  throw std::invalid_argument(
      QStringLiteral("%1: line %2: %3").arg(name).arg(lineIndex + 1).arg(reason).toStdString());
}

// A decimal number without sign, or nothing for anything else (QByteArray::toUInt accepts
// blanks and a '+').
bool parseNumber(const QByteArray& text, qint64 max, qint64* number) {
  if (text.isEmpty() || text.size() > std::numeric_limits<qint64>::digits10) return false;
  qint64 value = 0;
  for (const char digit : text) {
    if (digit < '0' || digit > '9') return false;
    value = value * 10 + (digit - '0');
  }
  if (value > max) return false;
  *number = value;
  return true;
}

ShowFrame parseFrame(const QByteArray& line, const QString& name, qsizetype index) {
  const qsizetype blank = line.indexOf(' ');
  qint64 universe = 0;
  if (blank < 0 || !parseNumber(line.left(blank), ChannelState::kMaxUniverse, &universe) ||
      universe < 1) {
    fail(name, index, QStringLiteral("expected \"UNIVERSE V1,V2,...\" with a universe from 1"));
  }
  ShowFrame frame;
  frame.universe = static_cast<unsigned>(universe);
  const QByteArray values = line.mid(blank + 1);
  if (values.isEmpty()) return frame;  // the recorder writes an empty frame this way
  const QList<QByteArray> items = values.split(',');
  if (items.size() > ChannelState::kSlotsPerUniverse) {
    fail(name, index, QStringLiteral("more than %1 values").arg(ChannelState::kSlotsPerUniverse));
  }
  for (const QByteArray& item : items) {
    qint64 value = 0;
    if (!parseNumber(item, ChannelState::kMaxValue, &value)) {
      fail(name, index,
           QStringLiteral("\"%1\" is not a value 0..255").arg(QString::fromUtf8(item)));
    }
    frame.values.push_back(static_cast<std::uint8_t>(value));
  }
  return frame;
}

}  // namespace

ShowFile ShowFile::load(const QString& path) {
  QFile file(path);
  if (QFileInfo(path).isDir()) {
    throw std::invalid_argument(("cannot read show file " + path + ": is a folder").toStdString());
  }
  if (!file.open(QIODevice::ReadOnly)) {
    throw std::invalid_argument(
        ("cannot read show file " + path + ": " + file.errorString()).toStdString());
  }
  return parse(file.readAll(), path);
}

ShowFile ShowFile::parse(const QByteArray& text, const QString& name) {
  QList<QByteArray> lines = text.split('\n');
  for (QByteArray& line : lines) {
    if (line.endsWith('\r')) line.chop(1);
  }
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
  if (lines.isEmpty() || lines.front() != kHeader) {
    fail(name, 0, QStringLiteral("not a show file (the first line is not \"%1\")").arg(kHeader));
  }
  if (lines.size() == kHeaderLines) fail(name, 0, QStringLiteral("no frames"));
  ShowFile show;
  // After the header: frame lines at odd positions from the header, delay lines between them.
  for (qsizetype index = kHeaderLines; index < lines.size(); index += 2) {
    ShowFrame frame = parseFrame(lines[index], name, index);
    if (index + 1 < lines.size()) {
      qint64 delay = 0;
      if (!parseNumber(lines[index + 1], kMaxDelayMs, &delay)) {
        fail(name, index + 1, QStringLiteral("expected a delay in milliseconds"));
      }
      frame.delayAfter = std::chrono::milliseconds(delay);
    }
    show.frames_.push_back(std::move(frame));
  }
  return show;
}

}  // namespace notecast::host
