// notecast-host as a headless bridge through the faults a long show meets: the MIDI destination
// going away and coming back, the JACK server restarting, the OLA daemon restarting, and the
// host being stopped for seconds under a full universe of changes. MIDI is counted by a JACK
// client of the test's own; the host is never restarted.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <thread>

#include "midi/MidiApiChoice.h"
#include "tests/support/HostProcess.h"
#include "tests/support/JackMidiCounter.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/OlaDmxSender.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/SafeOlad.h"

namespace notecast::host {
namespace {

using namespace std::chrono_literals;
using testing::JackMidiCounter;
using testing::waitUntil;

// Channel 1 maps its value onto controller 7 of MIDI channel 1, so every change is a message;
// channels 2.. onto controllers of their own.
QByteArray eventFile(const std::string& device, int channels = 1) {
  QByteArray file = QByteArray("[General]\r\nMIDIOutputDevice=") + device.c_str() +
                    "\r\nCount=" + QByteArray::number(channels - 1) + "\r\n";
  for (int i = 0; i < channels; ++i) {
    file += "[Entry_" + QByteArray::number(i) + "]\r\nDMXChannel=" + QByteArray::number(i + 1) +
            "\r\nMIDIMessage=" + QByteArray::number(176 + i % 16) +
            "\r\nData1=" + QByteArray::number(i == 0 ? 7 : 8 + i / 16) + "\r\nTyp=4\r\n";
  }
  return file;
}

// The processor time the process has used so far.
std::chrono::milliseconds cpuTime(qint64 pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string field;
  long ticks = 0;
  for (int i = 1; i <= 15 && stat >> field; ++i)
    if (i >= 14) ticks += std::stol(field);  // utime, stime
  return std::chrono::milliseconds(ticks * 1000 / ::sysconf(_SC_CLK_TCK));
}

// AddressSanitizer keeps freed memory in quarantine (up to 256 MB), so a sanitized host's
// resident memory grows with every allocation and says nothing about what it holds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryMeansWhatIsHeld = false;
#else
constexpr bool kResidentMemoryMeansWhatIsHeld = true;
#endif

long residentKilobytes(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
  }
  return -1;
}

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    jackName_ = PrivateJackServer::uniqueName("notecast-fault");
    startJack();
  }
  void TearDown() override {
    if (host_.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(host_.processId()), SIGTERM);
      if (!host_.waitForFinished(10000)) host_.kill();
      host_.waitForFinished();
    }
    counter_.reset();
    jack_.reset();
  }

  void startJack() {
    std::string error;
    jack_ = PrivateJackServer::start(jackName_, &error);
    ASSERT_TRUE(jack_) << error;
  }
  void openCounter() {
    std::string error;
    counter_ = JackMidiCounter::open(counterName_, &error);
    ASSERT_TRUE(counter_) << error;
  }

  void startHost(const std::string& device, const QString& dmx, const QStringList& more = {},
                 int channels = 1) {
    startHostOn(eventFile(device, channels), dmx, more);
  }
  void startHostOn(const QByteArray& events, const QString& dmx, const QStringList& more = {}) {
    const QString file = files_.writeFile("show.Notecast", events);
    // Files, not pipes: the test runs no event loop that would empty the pipes.
    errorFile_ = files_.writeFile("host-errors.txt", {});
    host_.setStandardErrorFile(errorFile_);
    outputFile_ = files_.writeFile("host-output.txt", {});
    host_.setStandardOutputFile(outputFile_);
    const QStringList arguments{"--plugin",   HostProcess::pluginPath(),
                                "--project",  file.chopped(QStringLiteral(".Notecast").size()),
                                "--headless", "--dmx",
                                dmx};
    host_.start(HostProcess::binDir() + "/notecast-host", arguments + more);
    ASSERT_TRUE(host_.waitForStarted());
  }
  // A safe OLA daemon, the counter, and the host reading universe 1 and sending to the counter.
  void startOnOla(std::unique_ptr<testing::SafeOlad>* olad, const QStringList& more = {},
                  int channels = 1) {
    std::string error;
    *olad = testing::SafeOlad::start(&error);
    ASSERT_TRUE(*olad) << error;
    openCounter();
    startHost(counter_->portName(), "ola:1", more, channels);
  }
  // Feeds a change of channel 1 on the host's standard input every 20 ms for `time`.
  void feed(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
      level_ = level_ == 100 ? 102 : 100;
      host_.write(("1 " + std::to_string(level_) + "\n").c_str());
      host_.waitForBytesWritten(1000);
      std::this_thread::sleep_for(20ms);
    }
  }
  // Feeds until the counter has `more` messages beyond `from`, for at most `limit`; the time it
  // took, or nothing.
  std::optional<std::chrono::milliseconds> feedUntilCounted(std::int64_t from, int more,
                                                            std::chrono::seconds limit) {
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < limit) {
      feed(100ms);
      if (counter_ && counter_->messages() >= from + more)
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    }
    return std::nullopt;
  }
  static std::string contents(const QString& path) {
    std::ifstream file(path.toStdString());
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  std::string hostErrors() const { return contents(errorFile_); }
  // With the host on its own port and MIDI flowing to the counter, the JACK server stops,
  // `whileStopped` runs, and a server starts again: MIDI must flow again.
  void stopAndStartJack(const std::function<void()>& whileStopped) {
    startHost("Notecast virtual output", "stdin");
    openCounter();
    ASSERT_TRUE(waitUntil([&] { return counter_->connectFrom("Notecast:out"); }, 10s))
        << hostErrors();
    ASSERT_TRUE(feedUntilCounted(0, 5, 10s)) << hostErrors();
    counter_.reset();
    jack_.reset();  // the JACK server stops
    whileStopped();
    startJack();
    openCounter();
    ASSERT_TRUE(waitUntil(
        [&] {
          feed(50ms);
          return counter_->connectFrom("Notecast:out");
        },
        10s))
        << "Notecast:out did not come back: " << hostErrors();
    ASSERT_TRUE(feedUntilCounted(0, 5, 10s)) << hostErrors();
  }
  std::string hostOutput() const { return contents(outputFile_); }

  HostProcess files_;
  QProcess host_;
  std::string jackName_;
  std::string counterName_ = testing::ownClientName("synth");
  std::unique_ptr<PrivateJackServer> jack_;
  std::unique_ptr<JackMidiCounter> counter_;
  QString errorFile_;
  QString outputFile_;
  int level_ = 100;
};

TEST_F(FaultTest, ADestinationThatGoesAndComesBackGetsMidiAgainWithoutARestart) {
  openCounter();
  const std::string port = counter_->portName();
  startHost(port, "stdin");
  ASSERT_TRUE(feedUntilCounted(0, 5, 15s)) << hostErrors();

  counter_.reset();  // the synthesizer quits
  feed(1s);
  openCounter();  // ... and is started again under its name
  const auto resumed = feedUntilCounted(0, 5, 10s);
  ASSERT_TRUE(resumed) << "no MIDI after the destination came back: " << hostErrors();
  EXPECT_LE(*resumed, 2s) << "MIDI resumed " << resumed->count() << " ms after the return";
  feed(300ms);

  EXPECT_EQ(host_.state(), QProcess::Running) << hostErrors();
  const std::string errors = hostErrors();
  EXPECT_EQ(countOf(errors, port + " is back"), 1) << errors;
  EXPECT_EQ(countOf(errors, "the plug-in says: \"MIDI output " + port), 2)
      << "one box for the loss, one for the return:\n"
      << errors;
}

TEST_F(FaultTest, AJackServerRestartBringsTheOwnPortBack) {
  ASSERT_NO_FATAL_FAILURE(stopAndStartJack([&] { feed(1s); }));
  EXPECT_EQ(host_.state(), QProcess::Running) << hostErrors();
  const std::string errors = hostErrors();
  EXPECT_EQ(countOf(errors, "has gone away"), 1) << errors;
  EXPECT_EQ(countOf(errors, "MIDI output Notecast virtual output is back"), 1) << errors;
}

// The command line's output for the run wins over the event file's, which stays as it was.
TEST_F(FaultTest, MidiOutChoosesTheOutputForTheRunOnly) {
  openCounter();
  startHost("Notecast virtual output", "stdin",
            {"--midi-out=" + QString::fromStdString(counter_->portName())});
  ASSERT_TRUE(feedUntilCounted(0, 5, 15s)) << hostErrors();
  const QByteArray stored = eventFile("Notecast virtual output");
  QFile file(errorFile_.section('/', 0, -2) + "/show.Notecast");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), stored);
}

// --connect keeps the own port connected to a destination that comes and goes, and says so.
TEST_F(FaultTest, ConnectKeepsTheOwnPortConnectedToADestinationThatComesAndGoes) {
  startHost("Notecast virtual output", "stdin",
            {"--connect", QString::fromStdString(counterName_ + ":in"), "--connect", "nowhere:in"});
  openCounter();  // the destination starts after the host
  ASSERT_TRUE(feedUntilCounted(0, 5, 15s)) << "not connected: " << hostErrors();
  counter_.reset();
  feed(500ms);
  openCounter();  // ... and again after it restarted
  ASSERT_TRUE(feedUntilCounted(0, 5, 15s)) << "not connected again: " << hostErrors();
  // Each change told once.
  const std::string destination = counterName_ + ":in";
  EXPECT_TRUE(
      waitUntil([&] { return countOf(hostErrors(), "connected to " + destination) == 2; }, 5s))
      << hostErrors();
  const std::string errors = hostErrors();
  EXPECT_EQ(countOf(errors, destination + " has gone: connected again as soon as it is back\n"), 1)
      << errors;
  EXPECT_EQ(countOf(errors, "waiting for nowhere:in: connected as soon as it appears\n"), 1)
      << errors;
}

// ... and says so on standard error, also with --quiet, once per change.
TEST_F(FaultTest, AnOlaDaemonRestartResumesDmx) {
  std::unique_ptr<testing::SafeOlad> olad;
  ASSERT_NO_FATAL_FAILURE(startOnOla(&olad, {"--quiet"}));
  std::string error;
  testing::OlaDmxSender sender(1);
  auto sendUntilCounted = [&](std::int64_t from) {
    return waitUntil(
        [&] {
          sender.sendLevel(1, (level_ = level_ == 100 ? 102 : 100));
          std::this_thread::sleep_for(20ms);
          return counter_->messages() >= from + 5;
        },
        15s);
  };
  ASSERT_TRUE(sendUntilCounted(0)) << hostErrors();

  olad.reset();
  olad = testing::SafeOlad::start(&error);
  ASSERT_TRUE(olad) << error;
  EXPECT_TRUE(sendUntilCounted(counter_->messages()))
      << "no MIDI after olad came back: " << hostErrors();
  EXPECT_EQ(host_.state(), QProcess::Running) << hostErrors();
  const std::string told = hostErrors();
  EXPECT_EQ(countOf(told, "DMX input OLA universe 1: connection lost, retrying\n"), 1) << told;
  EXPECT_EQ(countOf(told, "DMX input OLA universe 1: running\n"), 2) << told;
}

TEST_F(FaultTest, AStoppedHostKeepsItsMemoryAndPlaysNoStaleBacklog) {
  std::unique_ptr<testing::SafeOlad> olad;
  ASSERT_NO_FATAL_FAILURE(startOnOla(&olad));
  // A full universe at 44 frames a second, every slot changing every frame, but channel 1: it
  // carries a clock that steps every quarter second, which controller 7 shows halved.
  testing::OlaDmxSender sender(1);
  sender.startFullUniverse(44, [](std::int64_t frame, int channel) {
    return channel == 1 ? (frame / 11) % 256 : (frame + channel) % 256;
  });
  ASSERT_TRUE(waitUntil([&] { return counter_->messages() >= 4; }, 15s)) << hostErrors();
  std::this_thread::sleep_for(2s);
  const qint64 pid = host_.processId();
  const long before = residentKilobytes(pid);

  ::kill(static_cast<pid_t>(pid), SIGSTOP);
  std::this_thread::sleep_for(5s);
  const std::int64_t clockAtContinue = sender.currentValue(1);
  const std::int64_t countAtContinue = counter_->messages();
  ::kill(static_cast<pid_t>(pid), SIGCONT);

  // A message handed to JACK just before the stop waits in the host's own output buffer, which
  // its stopped process callback empties at SIGCONT: it was in flight, not held back by the host.
  // The message after it is the first the host sent after the stop.
  ASSERT_TRUE(waitUntil([&] { return counter_->messages() > countAtContinue + 1; }, 5s))
      << hostErrors();
  // Controller 7's value is the clock halved: the first message sent after the stop shows what
  // channel 1 was then.
  const auto firstValue = static_cast<std::int64_t>(counter_->lastMessage() & 0x7F);
  EXPECT_LE((clockAtContinue / 2 - firstValue) * 500, 1000)
      << "the first message after SIGCONT was " << (clockAtContinue / 2 - firstValue) * 500
      << " ms old";
  std::this_thread::sleep_for(3s);
  const long after = residentKilobytes(pid);
  sender.stopSending();
  if (kResidentMemoryMeansWhatIsHeld) {
    EXPECT_LE(after, before + before / 10)
        << "resident memory grew from " << before << " kB to " << after << " kB";
  }
  EXPECT_EQ(host_.state(), QProcess::Running) << hostErrors();
}

// A JACK server that stops running its cycles under a full universe (its process stopped): the
// host does not spin waiting for it, goes on telling its state, says once what is wrong, takes
// MIDI up again when the server runs, and still ends at once on SIGTERM.
TEST_F(FaultTest, AJackServerThatRunsNoCyclesNeitherWedgesNorSilencesTheHost) {
  std::unique_ptr<testing::SafeOlad> olad;
  ASSERT_NO_FATAL_FAILURE(startOnOla(&olad, {}, 512));
  testing::OlaDmxSender sender(1);
  sender.startFullUniverse(40,
                           [](std::int64_t frame, int channel) { return (frame + channel) % 128; });
  ASSERT_TRUE(waitUntil([&] { return counter_->messages() >= 2048; }, 15s)) << hostErrors();
  const qint64 pid = host_.processId();

  jack_->pause();
  std::this_thread::sleep_for(1s);  // the stall is found within a quarter of a second
  const auto cpuBefore = cpuTime(pid);
  const int linesBefore = countOf(hostOutput(), "\n");
  std::this_thread::sleep_for(3s);
  EXPECT_LE((cpuTime(pid) - cpuBefore).count(), 600) << "the host's processor time in 3 s";
  EXPECT_GE(countOf(hostOutput(), "\n") - linesBefore, 2) << "the status lines stopped";
  EXPECT_NE(hostOutput().rfind(" stalled, "), std::string::npos) << hostOutput();
  EXPECT_EQ(countOf(hostErrors(), "the JACK server is not running its cycles;"), 1) << hostErrors();

  jack_->resume();
  const std::int64_t atResume = counter_->messages();
  EXPECT_TRUE(waitUntil([&] { return counter_->messages() >= atResume + 2048; }, 10s))
      << hostErrors();
  EXPECT_EQ(countOf(hostErrors(), "the JACK server is running its cycles again;"), 1)
      << hostErrors();

  jack_->pause();
  std::this_thread::sleep_for(1s);
  const auto term = std::chrono::steady_clock::now();
  ::kill(static_cast<pid_t>(pid), SIGTERM);
  EXPECT_TRUE(host_.waitForFinished(5000));
  EXPECT_LE(std::chrono::steady_clock::now() - term, 1s) << hostErrors();
  EXPECT_EQ(host_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(host_.exitCode(), 0) << hostErrors();
  jack_->resume();
  sender.stopSending();
}

// The destination quits and the JACK server stops right after, at distances from none to a
// tenth of a second: the host never crashes, and sends again each time both are back.
TEST_F(FaultTest, TheDestinationAndTheServerEndingTogetherNeverCrashTheHost) {
  openCounter();
  startHost(counter_->portName(), "stdin");
  for (const auto gap : {0ms, 5ms, 15ms, 25ms, 35ms, 50ms, 75ms, 100ms, 0ms, 35ms}) {
    ASSERT_TRUE(feedUntilCounted(0, 5, 15s)) << "before a gap of " << gap.count() << " ms\n"
                                             << hostErrors();
    counter_.reset();
    std::this_thread::sleep_for(gap);
    jack_.reset();
    feed(200ms);
    ASSERT_EQ(host_.state(), QProcess::Running) << "after a gap of " << gap.count() << " ms\n"
                                                << hostErrors();
    startJack();
    openCounter();
  }
  ASSERT_TRUE(feedUntilCounted(0, 5, 15s)) << hostErrors();
  ::kill(static_cast<pid_t>(host_.processId()), SIGTERM);
  ASSERT_TRUE(host_.waitForFinished(10000));
  EXPECT_EQ(host_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(host_.exitCode(), 0) << hostErrors();
}

// The JACK server stops, its shared-memory registry is removed (as systemd-logind's RemoveIPC
// does at a logout) and a server starts again, making a new one: the host finds it as a new
// program would.
TEST_F(FaultTest, AServerWhoseSharedMemoryWasMadeAnewIsFoundAgain) {
  if (!std::getenv("NOTECAST_PRIVATE_SHM"))
    GTEST_SKIP() << "removes JACK's registry: only in a /dev/shm of the test's own";
  ASSERT_NO_FATAL_FAILURE(
      stopAndStartJack([] { ASSERT_TRUE(std::filesystem::remove("/dev/shm/jack-shm-registry")); }));
}

// Every note the bridge sounded ends with the show: a note-off for each before a reload, before
// the output closes at SIGTERM, and with --release-after once DMX stops coming (the event file's
// own note-off, key 0, ends none of them); --keep-notes leaves them sounding.
TEST_F(FaultTest, EveryNoteTheBridgeSoundedIsReleased) {
  openCounter();
  const QByteArray notes =
      QByteArray("[General]\r\nMIDIOutputDevice=") + counter_->portName().c_str() +
      "\r\nCount=2\r\n[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=144\r\nData1=60\r\n"
      "Data2=100\r\nTyp=2\r\n[Entry_1]\r\nDMXChannel=2\r\nMIDIMessage=153\r\nData2=90\r\nTyp=3\r\n"
      "[Entry_2]\r\nDMXChannel=3\r\nMIDIMessage=128\r\nTyp=2\r\n";
  // Each play sends other values: only a change of a channel reaches the plug-in.
  int offset = 0;
  const auto play = [&] {
    ASSERT_TRUE(waitUntil([&] { return counter_->connectFrom("Notecast:out"); }, 10s))
        << hostErrors();
    const std::int64_t before = counter_->messages();
    offset += 2;
    host_.write(QStringLiteral("1 %1\n2 %2\n2 %3\n3 %4\n")
                    .arg(10 + offset)
                    .arg(80 + offset)
                    .arg(90 + offset)
                    .arg(5 + offset)
                    .toUtf8());
    host_.waitForBytesWritten(1000);
    ASSERT_TRUE(waitUntil([&] { return counter_->messages() >= before + 4; }, 10s)) << hostErrors();
  };
  const auto sounding = [&] {
    std::set<std::uint32_t> on;
    for (const std::uint32_t message : counter_->received()) {
      const std::uint32_t note = message >> 8 & 0x0F7F;  // channel and key
      if ((message >> 16 & 0xF0) == 0x90 && (message & 0x7F) > 0) {
        on.insert(note);
      } else if ((message >> 16 & 0xF0) == 0x80 || (message >> 16 & 0xF0) == 0x90) {
        on.erase(note);
      }
    }
    return on.size();
  };

  startHostOn(notes, "stdin");
  play();
  EXPECT_EQ(sounding(), 3u) << "60 on channel 1, 41 and 46 on channel 10";
  ::kill(static_cast<pid_t>(host_.processId()), SIGHUP);
  ASSERT_TRUE(waitUntil([&] { return counter_->messages() >= 7; }, 10s)) << hostErrors();
  EXPECT_EQ(sounding(), 0u);
  EXPECT_EQ(countOf(hostErrors(), "released 3 notes before the reload"), 1) << hostErrors();
  play();
  ::kill(static_cast<pid_t>(host_.processId()), SIGTERM);
  ASSERT_TRUE(host_.waitForFinished(10000));
  EXPECT_EQ(sounding(), 0u) << "released as the output closed";
  EXPECT_EQ(countOf(hostErrors(), "released 3 notes as the MIDI output closed"), 1) << hostErrors();

  counter_.reset();
  openCounter();
  startHostOn(notes, "stdin", {"--release-after", "0.5"});
  play();
  ASSERT_TRUE(waitUntil([&] { return sounding() == 0; }, 10s)) << "DMX stopped: " << hostErrors();
  EXPECT_EQ(countOf(hostErrors(), "released 3 notes after 0.5 s without DMX"), 1) << hostErrors();
  ::kill(static_cast<pid_t>(host_.processId()), SIGTERM);
  ASSERT_TRUE(host_.waitForFinished(10000));

  counter_.reset();
  openCounter();
  startHostOn(notes, "stdin", {"--keep-notes"});
  play();
  ::kill(static_cast<pid_t>(host_.processId()), SIGTERM);
  ASSERT_TRUE(host_.waitForFinished(10000));
  EXPECT_EQ(sounding(), 3u) << "--keep-notes";
}

}  // namespace
}  // namespace notecast::host
