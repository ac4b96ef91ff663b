// How a headless run of notecast-host ends, and what it says on the way: message boxes of the
// plug-in never end it, failure results are counted rather than repeated, the event file is
// checked at the start, signals end it in order from its first moment (SIGHUP reloads), and the
// exit status says how the run went.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <random>
#include <thread>

#include <QSettings>
#include "tests/host/script/ScriptFixture.h"
#include "tests/support/MidiTestSupport.h"

namespace notecast::host {
namespace {

using namespace std::chrono_literals;

constexpr int kRunDeadlineMs = 30000;  // generous: nothing here takes more than a second

QByteArray eventFile(const QByteArray& device, const QByteArray& entries) {
  return "[General]\r\nMIDIOutputDevice=" + device + "\r\nCount=1\r\n" + entries;
}

// Channel 1 sends status byte 240, which starts no MIDI short message (the plug-in says so in a
// box, once); channel 2 sends a note.
const QByteArray kStatus240 =
    eventFile("Notecast virtual output",
              "[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=240\r\nData1=1\r\nData2=1\r\nTyp=2\r\n"
              "[Entry_1]\r\nDMXChannel=2\r\nMIDIMessage=144\r\nData1=60\r\nData2=100\r\nTyp=2\r\n");
// Channel 7 sends a note to a device that does not exist: every change fails.
const QByteArray kMissingDevice =
    eventFile("No such synthesizer:in",
              "[Entry_0]\r\nDMXChannel=7\r\nMIDIMessage=144\r\nData1=60\r\nData2=100\r\nTyp=2\r\n");

// Channel 7 sends a note, and the event file chooses no output.
const QByteArray kNoOutput = eventFile(
    "", "[Entry_0]\r\nDMXChannel=7\r\nMIDIMessage=144\r\nData1=60\r\nData2=100\r\nTyp=2\r\n");

class HeadlessRunTest : public ScriptFixture {
 protected:
  void TearDown() override {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }

  // Starts the host headless on a project with `events` (none: no event file) and standard input.
  void start(const QByteArray& events, const QStringList& more = {}) {
    const QString file = host.writeFile("show.Notecast", events);
    if (events.isNull()) QFile::remove(file);
    project_ = file.chopped(QStringLiteral(".Notecast").size());
    process_.start(HostProcess::binDir() + "/notecast-host",
                   QStringList{"--plugin", HostProcess::pluginPath(), "--project", project_,
                               "--headless", "--dmx", "stdin"} +
                       more);
    ASSERT_TRUE(process_.waitForStarted());
  }
  void write(const QByteArray& lines) {
    process_.write(lines);
    ASSERT_TRUE(process_.waitForBytesWritten());
  }
  bool waitForError(const QString& text) {
    return testing::waitUntil(
        [&] {
          process_.waitForReadyRead(50);
          errors_ += QString::fromUtf8(process_.readAllStandardError());
          return errors_.contains(text);
        },
        std::chrono::milliseconds(kRunDeadlineMs));
  }
  // Waits until `count` lines of standard error hold `text`.
  bool waitForLines(const QString& text, int count) {
    return testing::waitUntil(
        [&] {
          process_.waitForReadyRead(50);
          errors_ += QString::fromUtf8(process_.readAllStandardError());
          return errorLines(text).size() >= count;
        },
        std::chrono::milliseconds(kRunDeadlineMs));
  }
  // Closes standard input and waits for the end; the exit status.
  int finish() {
    process_.closeWriteChannel();
    EXPECT_TRUE(process_.waitForFinished(kRunDeadlineMs));
    errors_ += QString::fromUtf8(process_.readAllStandardError());
    output_ = QString::fromUtf8(process_.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
  }
  // Whether the host's process has SIGTERM blocked or caught now (/proc/PID/status).
  bool blocksStopSignals() const {
    QFile status(QStringLiteral("/proc/%1/status").arg(process_.processId()));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
      if (!line.startsWith("SigBlk:") && !line.startsWith("SigCgt:")) continue;
      if (line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ULL << (SIGTERM - 1))) return true;
    }
    return false;
  }
  void signal(int number) { ::kill(static_cast<pid_t>(process_.processId()), number); }
  QStringList errorLines(const QString& containing) const {
    return errors_.split('\n').filter(containing);
  }

  QProcess process_;
  QString project_, errors_;
  QStringList output_;
};

// The first change raises the box; every line after it is still played, and the run ends with
// the input, in order.
TEST_F(HeadlessRunTest, AMessageBoxDoesNotEndTheRun) {
  start(kStatus240);
  write("1 10\n");
  ASSERT_TRUE(waitForError("the plug-in says: \"Status byte 240")) << errors_.toStdString();
  write("2 100\n1 11\n2 0\n");
  EXPECT_EQ(finish(), 0) << errors_.toStdString();
  ASSERT_FALSE(output_.isEmpty());
  EXPECT_TRUE(output_.last().contains("standard input ended, 4 frames, 4 changes"))
      << output_.last().toStdString();
  EXPECT_EQ(errorLines("the plug-in says: ").size(), 1) << "the plug-in tells it once";
}

// A project whose device is missing: one box, then every change fails. The run goes on, and the
// failure is told in full once, then counted.
TEST_F(HeadlessRunTest, RepeatedFailuresAreCountedNotRepeatedAndTheRunGoesOn) {
  start(kMissingDevice);
  write("7 1\n");
  ASSERT_TRUE(waitForError("the plug-in says: ")) << errors_.toStdString();
  QByteArray lines;
  for (int value = 2; value <= 150; ++value) lines += "7 " + QByteArray::number(value) + "\n";
  write(lines);
  EXPECT_EQ(finish(), 0) << errors_.toStdString();
  EXPECT_TRUE(output_.last().contains("150 changes, last channel 7 = 150, 150 changes failed"))
      << output_.last().toStdString();

  const QStringList first = errorLines("notecast-host: DMX channel 7 = ");
  ASSERT_EQ(first.size(), 1) << errors_.toStdString();
  const QString result = first.front().section(": ", 2);
  // The plug-in's own words, then the result.
  EXPECT_EQ(result, "MIDI output No such synthesizer:in is not there now (error 0x800A7531)");
  EXPECT_EQ(errorLines(result + " again: ").size(), 2) << "at 10 and at 100";
  EXPECT_EQ(errorLines(result + ": 150 DMX changes failed with it in all").size(), 1)
      << errors_.toStdString();
}

// There is no window to choose an output in: the plug-in's advice names the host's options.
TEST_F(HeadlessRunTest, WithoutAnOutputTheAdviceNamesTheHostsOptions) {
  start(kNoOutput);
  write("7 1\n");
  ASSERT_TRUE(waitForError("the plug-in says: ")) << errors_.toStdString();
  EXPECT_EQ(finish(), 0);
  EXPECT_EQ(errorLines("notecast-host: the plug-in says: \"No MIDI output device is open. Choose "
                       "one with --midi-out NAME; notecast-host --list-outputs lists them.\" "
                       "(answered OK)")
                .size(),
            1)
      << errors_.toStdString();
}

TEST_F(HeadlessRunTest, TheEventFileIsCheckedAtTheStart) {
  start(QByteArray());
  EXPECT_EQ(finish(), 0);
  EXPECT_EQ(errorLines("warning: no event file " + QDir::toNativeSeparators(project_) +
                       ".Notecast yet: starting with no events")
                .size(),
            1)
      << errors_.toStdString();

  QByteArray noise(4096, '\0');
  std::mt19937 random(11);
  for (char& byte : noise) byte = static_cast<char>(random());
  errors_.clear();
  start(noise);
  EXPECT_EQ(finish(), 0);
  EXPECT_EQ(
      errorLines("warning: event file ").filter("no event file: starting with no events").size(), 1)
      << errors_.toStdString();

  // Script mode's output is its own: it checks nothing.
  const HostRun script = host.runScript("init\n", {"--project", project_ + "-none"});
  EXPECT_FALSE(script.err.contains("event file")) << script.err.toStdString();
}

TEST_F(HeadlessRunTest, TheExitStatusSaysHowTheRunWent) {
  EXPECT_EQ(host.run({"--bogus"}).exitCode, 2);
  const HostRun help = host.run({"-h"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.join('\n').contains("Exit status")) << help.out.join('\n').toStdString();
  EXPECT_EQ(host.run({"--plugin", "/no/such/Notecast.so", "--headless"}).exitCode, 1);
  EXPECT_EQ(host.run({"--plugin", HostProcess::pluginPath(), "--headless", "--dmx",
                      "replay:/no/such.show"})
                .exitCode,
            1);

  // Standard input that cannot be read: the input fails, and so does the run, after an orderly
  // shut-down.
  process_.setStandardInputFile(QDir::rootPath());
  start(kStatus240);
  EXPECT_EQ(finish(), 1);
  EXPECT_EQ(errorLines("DMX input failed: cannot read standard input").size(), 1)
      << errors_.toStdString();
}

// A stop signal as soon as the program's main runs (the host's libraries still loading) ends the
// run in order all the same; SIGHUP loads the event file again and says what it holds.
TEST_F(HeadlessRunTest, SignalsAreHandledFromTheFirstMoment) {
  for (const int number : {SIGTERM, SIGINT, SIGTERM}) {
    start(kStatus240);
    // Before main nothing can guard a program; its first step blocks the stop signals.
    ASSERT_TRUE(testing::waitUntil([&] { return blocksStopSignals(); }, 5s));
    signal(number);
    EXPECT_TRUE(process_.waitForFinished(kRunDeadlineMs));
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit) << "signal " << number;
    EXPECT_EQ(process_.exitCode(), 0);
  }

  errors_.clear();
  start(kMissingDevice);
  write("7 1\n");
  ASSERT_TRUE(waitForError("DMX channel 7")) << errors_.toStdString();
  host.writeFile("show.Notecast", eventFile("Notecast virtual output",
                                            "[Entry_0]\r\nDMXChannel=2\r\nMIDIMessage=144\r\n"
                                            "Data1=60\r\nData2=100\r\nTyp=2\r\n"));
  signal(SIGHUP);
  ASSERT_TRUE(waitForError("reloaded the project " + project_ + ": 1 event\n"))
      << errors_.toStdString();
  write("2 100\n");
  EXPECT_EQ(finish(), 0);
  EXPECT_TRUE(output_.last().contains("1 sent")) << output_.last().toStdString();
}

// Where no window can be shown the run goes on headless, saying why; unless windows were asked
// for. Without a DMX input it says how to choose one.
TEST_F(HeadlessRunTest, AMissingDisplayOrInputIsToldInOneLine) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  environment.remove("WAYLAND_DISPLAY");
  environment.insert("DISPLAY", ":87");
  process_.setProcessEnvironment(environment);
  const QString project = host.writeFile("show.Notecast", kStatus240).chopped(9);
  process_.start(HostProcess::binDir() + "/notecast-host",
                 {"--plugin", HostProcess::pluginPath(), "--project", project, "--show"});
  EXPECT_TRUE(process_.waitForFinished(kRunDeadlineMs));
  EXPECT_EQ(process_.exitCode(), 1);
  EXPECT_EQ(process_.readAllStandardError(),
            "notecast-host: cannot show windows: cannot reach the X display DISPLAY=:87\n");

  process_.start(HostProcess::binDir() + "/notecast-host",
                 {"--plugin", HostProcess::pluginPath(), "--project", project, "--dmx", "stdin"});
  EXPECT_EQ(finish(), 0);
  EXPECT_EQ(errorLines("cannot reach the X display DISPLAY=:87: running headless").size(), 1)
      << errors_.toStdString();

  process_.start(HostProcess::binDir() + "/notecast-host",
                 {"--plugin", HostProcess::pluginPath(), "--project", project, "--headless"});
  ASSERT_TRUE(waitForError("no DMX input chosen")) << errors_.toStdString();
  QFile maps(QStringLiteral("/proc/%1/maps").arg(process_.processId()));
  ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
  EXPECT_FALSE(maps.readAll().contains("/platforms/")) << "headless needs no display platform";
  signal(SIGTERM);
  EXPECT_TRUE(process_.waitForFinished(kRunDeadlineMs));
  EXPECT_EQ(process_.exitCode(), 0);

  // The input chosen for the project in the desktop window runs here too, and is named.
  const QString config = host.writeFile("config/notecast-host/keep", "").chopped(5);
  QSettings(config + "/projects.ini", QSettings::IniFormat)
      .setValue("DmxInput" + QDir::cleanPath(QFileInfo(project).absoluteFilePath()),
                "ola:1@127.0.0.1:1");
  environment.insert("XDG_CONFIG_HOME", config.chopped(QStringLiteral("/notecast-host").size()));
  process_.setProcessEnvironment(environment);
  process_.start(HostProcess::binDir() + "/notecast-host",
                 {"--plugin", HostProcess::pluginPath(), "--project", project, "--headless"});
  EXPECT_TRUE(
      waitForError("DMX input ola:1@127.0.0.1:1 as chosen for the project in the desktop "
                   "window (--dmx gives another)"))
      << errors_.toStdString();
}

// Without a MIDI system (no JACK server, no ALSA sequencer, or a setting naming neither) the
// listing of the outputs says so and ends, with status 1: no box waits for a person.
TEST_F(HeadlessRunTest, ListingTheOutputsWithoutAMidiSystemSaysSoAndEnds) {
  if (QFile::exists("/dev/snd/seq")) GTEST_SKIP() << "this machine has an ALSA sequencer";
  for (const char* api : {"jack", "alsa", "nonsense"}) {
    QProcess listing;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("NOTECAST_MIDI_API", api);
    environment.insert("JACK_DEFAULT_SERVER", "notecast-no-such-server");
    listing.setProcessEnvironment(environment);
    listing.start(HostProcess::binDir() + "/notecast-host",
                  {"--plugin", HostProcess::pluginPath(), "--list-outputs"});
    ASSERT_TRUE(listing.waitForFinished(kRunDeadlineMs)) << api;
    const QString errors = QString::fromUtf8(listing.readAllStandardError());
    EXPECT_EQ(listing.exitCode(), 1) << api << ": " << errors.toStdString();
    EXPECT_TRUE(errors.contains("No MIDI output is possible: "))
        << api << ": " << errors.toStdString();
  }
}

// SIGHUP takes a new event file only when it can be used and nobody is writing it any more: a
// missing file (or any the plug-in's check refuses), or one still being written,
// keeps the running events and the output, and says why; the next SIGHUP tries again.
TEST_F(HeadlessRunTest, AReloadNeverSilencesTheShow) {
  start(kStatus240);
  ASSERT_TRUE(waitForError("standard input: running")) << errors_.toStdString();
  const QString file = project_ + ".Notecast";
  // What the plug-in's check refuses is its own tests' matter; here one such file stands for all.
  QFile::remove(file);
  signal(SIGHUP);
  ASSERT_TRUE(waitForError("was not reloaded")) << errors_.toStdString();

  // A writer still appending: every look a moment apart differs.
  host.writeFile("show.Notecast", kStatus240);
  signal(SIGHUP);
  for (int i = 0; i < 20; ++i) {
    QFile growing(file);
    ASSERT_TRUE(growing.open(QIODevice::Append));
    growing.write(";\r\n");
    growing.close();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(waitForError("is still being written")) << errors_.toStdString();
  write("2 100\n");

  host.writeFile("show.Notecast", kStatus240);
  signal(SIGHUP);
  ASSERT_TRUE(waitForError("reloaded the project " + project_ + ": 2 events\n"))
      << errors_.toStdString();
  // A file cut short after its Count=: it loads, and is told as at the start.
  host.writeFile("show.Notecast", QByteArray(kStatus240).replace("Count=1", "Count=2"));
  signal(SIGHUP);
  ASSERT_TRUE(waitForError("warning: event file " + file +
                           ": Count=2 but the entries stop at Entry_1: 1 blank event loads"))
      << errors_.toStdString();
  EXPECT_EQ(finish(), 0);
  EXPECT_EQ(errorLines("reloaded the project " + project_ + ": 2 events").size(), 2);
  EXPECT_EQ(errorLines("was not reloaded").size(), 2);
  EXPECT_EQ(errorLines("events and the MIDI output stay").size(), 2);
  EXPECT_EQ(errorLines("released 1 note before the reload").size(), 1) << errors_.toStdString();
  EXPECT_TRUE(output_.last().contains("2 sent"))
      << "the running events played on, then their note was released: "
      << output_.last().toStdString();
}

}  // namespace
}  // namespace notecast::host
