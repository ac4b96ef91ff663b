// notecast-host as a headless bridge, run as its own process: DMX in from standard input, a
// replayed recording or a real OLA daemon, MIDI out read back from a private JACK server's port,
// and a clean shut-down at the end of the input or on SIGTERM that never writes the event file.

#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <chrono>
#include <memory>
#include <thread>

#include "tests/host/script/ScriptFixture.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/SafeOlad.h"
#include "tests/support/TempDir.h"

namespace notecast::host {
namespace {

using testing::Bytes;
using testing::MidiReader;

// Channel 1: every change sends a note-on with its note-off; channel 513 (universe 2, slot 1):
// control 7 follows the value.
const QByteArray kEventFile =
    "[General]\r\nMIDIOutputDevice=Notecast virtual output\r\nCount=1\r\n"
    "[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=144\r\nData1=60\r\nData2=100\r\nSendNoteOff=1\r\n"
    "Typ=2\r\n"
    "[Entry_1]\r\nDMXChannel=513\r\nMIDIMessage=176\r\nData1=7\r\nTyp=4\r\n";

class HeadlessTest : public ScriptFixture {
 protected:
  void SetUp() override {
    ScriptFixture::SetUp();
    eventFile_ = host.writeFile("show.Notecast", kEventFile);
    projectBase_ = eventFile_.chopped(QStringLiteral(".Notecast").size());
  }
  void TearDown() override {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
    reader_.reset();
    // JACK removes a finished client's ports a little later; the next host must not find the
    // old port under the name its own is about to get.
    EXPECT_TRUE(testing::waitUntil([] { return !outputListed(); })) << "Notecast:out stayed";
  }

  static bool outputListed() {
    RtMidiIn probe(RtMidi::UNIX_JACK, "probe-" + std::to_string(::getpid()));
    for (unsigned int i = 0; i < probe.getPortCount(); ++i)
      if (probe.getPortName(i) == "Notecast:out") return true;
    return false;
  }

  // Starts the host headless on the test's project with `dmx`; waits for its MIDI output and
  // connects a reader to it.
  void startBridge(const QString& dmx) {
    process_.start(HostProcess::binDir() + "/notecast-host",
                   {"--plugin", HostProcess::pluginPath(), "--project", projectBase_, "--headless",
                    "--dmx", dmx});
    ASSERT_TRUE(process_.waitForStarted());
    static int readers = 0;
    reader_ = std::make_unique<MidiReader>("reader-" + std::to_string(::getpid()) + "-" +
                                           std::to_string(++readers));
    ASSERT_TRUE(testing::waitUntil([&] { return reader_->listenTo("Notecast:out"); },
                                   std::chrono::seconds(10)))
        << "the host's MIDI output did not appear: " << stderrText();
    // A JACK connection takes effect with the next process cycle or two.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  // Waits for the host to end; its exit status.
  int finish() {
    EXPECT_TRUE(process_.waitForFinished(20000)) << stderrText();
    return process_.exitCode();
  }
  std::string stderrText() { return process_.readAllStandardError().toStdString(); }
  void expectCleanEnd() {
    EXPECT_EQ(process_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process_.exitCode(), 0);
    const std::string err = stderrText();
    EXPECT_EQ(err.find("warning"), std::string::npos) << err;  // the library was unloaded
    EXPECT_EQ(testing::readBytes(eventFile_.toStdString()), kEventFile.toStdString())
        << "a headless run never writes the event file";
  }

  QString eventFile_, projectBase_;
  QProcess process_;
  std::unique_ptr<MidiReader> reader_;
};

TEST_F(HeadlessTest, StandardInputDrivesTheBridgeUntilItEnds) {
  startBridge("stdin");
  process_.write("1 255\n513 100\n513 100\n1 0\n");
  ASSERT_TRUE(process_.waitForBytesWritten());
  EXPECT_EQ(reader_->next(), (Bytes{0x90, 60, 100}));
  EXPECT_EQ(reader_->next(), (Bytes{0x80, 0, 0}));
  EXPECT_EQ(reader_->next(), (Bytes{0xB0, 7, 50}));
  EXPECT_EQ(reader_->next(), (Bytes{0x90, 60, 100})) << "the repeated 513 100 is no change";
  process_.closeWriteChannel();
  finish();
  expectCleanEnd();
  EXPECT_TRUE(process_.readAllStandardOutput().contains("3 changes"));
}

TEST_F(HeadlessTest, AReplayEndsAfterItsLastFrame) {
  // The first frame changes nothing and gives the reader time to connect.
  const QString show =
      host.writeFile("short.show", "OLA Show\n1 0\n1500\n1 10\n20\n1 20\n20\n2 64\n");
  startBridge("replay:" + show);
  EXPECT_EQ(reader_->next(), (Bytes{0x90, 60, 100}));
  finish();
  expectCleanEnd();
  EXPECT_TRUE(process_.readAllStandardOutput().contains("ended, 4 frames"));
}

TEST_F(HeadlessTest, SigtermShutsDownInOrder) {
  startBridge("stdin");
  process_.write("1 1\n");
  ASSERT_TRUE(process_.waitForBytesWritten());
  EXPECT_EQ(reader_->next(), (Bytes{0x90, 60, 100}));
  ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
  finish();
  expectCleanEnd();
}

class HeadlessOlaTest : public HeadlessTest {
 protected:
  void SetUp() override {
    const std::string unavailable = testing::SafeOlad::unavailableReason();
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
    HeadlessTest::SetUp();
    std::string error;
    olad_ = testing::SafeOlad::start(&error);
    ASSERT_TRUE(olad_) << error;
  }
  void TearDown() override {
    HeadlessTest::TearDown();
    olad_.reset();
  }
  std::unique_ptr<testing::SafeOlad> olad_;
};

TEST_F(HeadlessOlaTest, DmxSentToAnOlaUniverseComesOutAsMidi) {
  startBridge("ola:1,2");
  QString output;
  // The host registers its universes once connected: send until the first message comes back.
  // Alternate values, so every frame is a change.
  Bytes first;
  int level = 0;
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        level = level == 255 ? 254 : 255;
        olad_->runTool("ola_set_dmx", {"-u", "1", "-d", QString::number(level)}, &output);
        first = reader_->next(std::chrono::milliseconds(200));
        return !first.empty();
      },
      std::chrono::seconds(10)))
      << stderrText();
  EXPECT_EQ(first, (Bytes{0x90, 60, 100}));
  EXPECT_EQ(reader_->next(), (Bytes{0x80, 0, 0}));
  while (!reader_->next(std::chrono::milliseconds(300)).empty()) {
  }
  olad_->runTool("ola_set_dmx", {"-u", "2", "-d", "200"}, &output);
  EXPECT_EQ(reader_->next(), (Bytes{0xB0, 7, 100})) << "universe 2 slot 1 is channel 513";
  ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
  finish();
  expectCleanEnd();
}

}  // namespace
}  // namespace notecast::host
