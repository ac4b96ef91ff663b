#include "bench/bridges/BridgeHost.h"

#include "bench/latency/BenchSetUp.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace notecast::bench {
namespace {

QByteArray readWhole(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 countOf(const QString& line, const QString& pattern) {
  const QRegularExpressionMatch match = QRegularExpression(pattern).match(line);
  return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

}  // namespace

HostCounts parseStatusLine(const QString& line) {
  HostCounts counts;
  static const QRegularExpression midi(QStringLiteral("; MIDI .* (\\d+) sent, (\\d+) not sent"));
  const QRegularExpressionMatch output = midi.match(line);
  if (!line.startsWith(QStringLiteral("notecast-host: ")) || !output.hasMatch()) return counts;
  counts.valid = true;
  counts.frames = countOf(line, QStringLiteral("(\\d+) frames, "));
  counts.changes = countOf(line, QStringLiteral("(\\d+) changes(?! failed)"));
  counts.folded = countOf(line, QStringLiteral("(\\d+) frames folded"));
  counts.failed = countOf(line, QStringLiteral("(\\d+) changes failed"));
  counts.sent = output.captured(1).toLongLong();
  counts.notSent = output.captured(2).toLongLong();
  return counts;
}

BridgeHost::BridgeHost(unsigned universe, int events) : universe_(universe), events_(events) {}

BridgeHost::~BridgeHost() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished(5000);
}

bool BridgeHost::start(const QString& midiOut, std::string* error) {
  // Universe u's slot s is channel (u - 1) * 512 + s of the events.
  const QByteArray text = mappingEventFile(events_, [this](int event) {
    return static_cast<int>(universe_ - 1) * 512 + slotOf(event, events_);
  });
  const QString base = folder_.filePath(QStringLiteral("bridge"));
  QFile file(base + ".Notecast");
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
    *error = "cannot write the event file";
    return false;
  }
  file.close();

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", folder_.filePath("config"));
  environment.insert("NOTECAST_MIDI_API", "jack");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  process_.setProcessEnvironment(environment);
  // To files, read whenever asked: the benchmark's thread is busy sending while the hosts run.
  process_.setStandardOutputFile(folder_.filePath("out"));
  process_.setStandardErrorFile(folder_.filePath("err"));
  process_.start(
      QStringLiteral(NOTECAST_BIN_DIR "/notecast-host"),
      {"--plugin", QStringLiteral(NOTECAST_BIN_DIR "/Notecast.so"), "--project", base, "--headless",
       "--dmx", "ola:" + QString::number(universe_), "--midi-out=" + midiOut});
  if (!process_.waitForStarted()) {
    *error = "notecast-host did not start";
    return false;
  }
  return true;
}

HostCounts BridgeHost::lastCounts() const {
  const QByteArray out = readWhole(folder_.filePath("out"));
  // Only whole lines: the host may be writing the next one.
  const QList<QByteArray> lines = out.left(out.lastIndexOf('\n')).split('\n');
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    const HostCounts counts = parseStatusLine(QString::fromUtf8(*line));
    if (counts.valid) return counts;
  }
  return {};
}

bool BridgeHost::stop() {
  if (process_.state() == QProcess::NotRunning) return false;
  process_.terminate();
  if (!process_.waitForFinished(10000)) {
    process_.kill();
    process_.waitForFinished(5000);
    return false;
  }
  return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

std::string BridgeHost::errors() const {
  return readWhole(folder_.filePath("err")).toStdString();
}

}  // namespace notecast::bench
