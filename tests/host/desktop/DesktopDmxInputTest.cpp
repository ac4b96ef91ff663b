// The desktop mode's DMX input: the operator's choice in the window switches the running input
// and is kept for the project in the host's own settings; the command line's input wins for its
// run. The feed puts one input in place of another while the plug-in is fed.

#include <QLineEdit>

#include "host/DesktopDmxInput.h"
#include "host/session/HostError.h"
#include "tests/host/desktop/DesktopFixture.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/UiInput.h"

namespace notecast::host {
namespace {

const std::string kTwoEvents =
    eventHeader(1) + eventEntry(0, kNoteOn, 60, 100, "") + eventEntry(1, kNoteOn, 61, 90, "");

class DesktopDmxInputTest : public DesktopFixture {
 protected:
  void TearDown() override {
    stopInput();
    DesktopFixture::TearDown();
  }
  // The input as the desktop mode makes it at its start, `dmx` as --dmx.
  void startInput(std::optional<std::string> dmx = std::nullopt) {
    HostOptions options;
    options.dmxSource = std::move(dmx);
    feed_ = std::make_unique<DmxFeed>(*session_, options, [](const std::string&) {});
    dmxInput_ = std::make_unique<DesktopDmxInput>(
        *feed_, *window_, store(), options,
        [this](const std::string& line) { reported_.push_back(line); });
  }
  void stopInput() {
    dmxInput_.reset();
    feed_.reset();
  }
  DmxChoiceStore store() const {
    return DmxChoiceStore(QString::fromStdString(dir_.file("config/projects.ini")),
                          QString::fromStdString(base()));
  }
  void choose(const QString& universes) const {
    auto* field = find<QLineEdit>(DmxInputChooser::kUniversesName);
    testing::typeInto(field, universes);
    if (universes.isEmpty()) QTest::keyClick(field, Qt::Key_Backspace);
    click(DmxInputChooser::kApplyName);
  }
  // The next message of `reader`, while the event loop plays the input; empty when none comes.
  static testing::Bytes hear(testing::MidiReader& reader, int timeoutMs = 2000) {
    testing::Bytes message;
    (void)QTest::qWaitFor(
        [&] {
          message = reader.next(std::chrono::milliseconds(0));
          return !message.empty();
        },
        timeoutMs);
    return message;
  }
  QString shownSource() const { return find<QLabel>(DmxStatusPanel::kSourceName)->text(); }
  QString chooserText() const { return find<QLineEdit>(DmxInputChooser::kUniversesName)->text(); }
  std::string showFile(const std::string& name, const std::string& frames) const {
    testing::writeBytes(dir_.file(name), "OLA Show\n" + frames);
    return "replay:" + dir_.file(name);
  }

  std::unique_ptr<DmxFeed> feed_;
  std::unique_ptr<DesktopDmxInput> dmxInput_;
  std::vector<std::string> reported_;
};

TEST_F(DesktopDmxInputTest, AChosenInputRunsAndIsTheProjectsNextTime) {
  openHost(base());
  startInput();
  EXPECT_EQ(shownSource(), "no DMX input chosen");
  EXPECT_EQ(find<QLabel>(DmxStatusPanel::kLastChangeName)->text(), "-");
  EXPECT_EQ(store().load(), std::nullopt);

  choose(" 1, 2");
  EXPECT_EQ(shownSource(), "OLA universes 1,2");
  EXPECT_EQ(status(), "DMX input: OLA universes 1,2");
  EXPECT_EQ(store().load(), "ola:1,2");

  stopInput();
  startInput();
  EXPECT_EQ(shownSource(), "OLA universes 1,2");
  EXPECT_EQ(chooserText(), "1,2");

  choose("1 @ 127.0.0.1:9011");
  EXPECT_EQ(shownSource(), "OLA universe 1 at 127.0.0.1:9011");
  EXPECT_EQ(store().load(), "ola:1@127.0.0.1:9011");
  stopInput();
  startInput();
  EXPECT_EQ(chooserText(), "1@127.0.0.1:9011");

  choose("");
  EXPECT_EQ(shownSource(), "no DMX input chosen");
  EXPECT_EQ(status(), "No DMX input");
  EXPECT_EQ(store().load(), QString()) << "none, kept as such";
  EXPECT_TRUE(reported_.empty());
}

TEST_F(DesktopDmxInputTest, TheCommandLinesInputWinsForItsRunAndIsNotKept) {
  store().save("ola:3");
  openHost(base());
  startInput(showFile("cue.show", "1 255\n"));
  EXPECT_EQ(shownSource(), "replay of cue.show");
  EXPECT_EQ(chooserText(), "");
  EXPECT_EQ(store().load(), "ola:3");
}

TEST_F(DesktopDmxInputTest, TextThatIsNoChoiceChangesNothing) {
  openHost(base());
  startInput();
  window_->reportFailuresTo([this](const std::string& line) { reported_.push_back(line); });
  choose("1");
  for (const QString bad : {"0", "x", "1,1", "stdin", "1;2", "1@", "1@host:0", "1@::1"}) {
    choose(bad);
    EXPECT_TRUE(status().startsWith("DMX input not changed: DMX source ola: "))
        << status().toStdString();
    ASSERT_FALSE(reported_.empty());
    EXPECT_EQ(reported_.back(), status().toStdString()) << "reported whole";
    EXPECT_EQ(shownSource(), "OLA universe 1");
    EXPECT_EQ(store().load(), "ola:1");
  }
  reported_.clear();

  // A kept value the host cannot use (an edited file) is told, and no input runs.
  store().save("ola:0");
  stopInput();
  startInput();
  EXPECT_EQ(shownSource(), "no DMX input chosen");
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_NE(reported_[0].find("DMX input of the project not used: "), std::string::npos);
  EXPECT_EQ(status().toStdString(), reported_[0]);
}

TEST_F(DesktopDmxInputTest, TheInputPutInPlaceFeedsThePluginAndTheOldOneStops) {
  testing::writeBytes(eventFile(), kTwoEvents);
  openHost(base());
  testing::MidiReader reader(testing::ownClientName("dmx-switch-reader"));
  ASSERT_TRUE(testing::waitUntil([&] { return reader.listenTo("Notecast:out"); }));
  // Channel 1 fires the first event; the old input would fire it again after 500 ms.
  startInput(showFile("old.show", "1 255\n500\n1 0\n0\n1 255\n"));
  feed_->start();
  ASSERT_EQ(hear(reader), (testing::Bytes{kNoteOn, 60, 100}));

  feed_->replaceInput(showFile("new.show", "1 0,255\n"));
  EXPECT_EQ(hear(reader), (testing::Bytes{kNoteOn, 61, 90}));
  EXPECT_TRUE(hear(reader, 700).empty());

  EXPECT_THROW(feed_->replaceInput("replay:" + dir_.file("missing.show")), HostError);
  {
    const PluginGate::Call busy(session_->gate());
    EXPECT_THROW(feed_->replaceInput(std::nullopt), HostError);
  }
  EXPECT_EQ(feed_->status().source, "replay of new.show") << "kept after each refusal";
}

}  // namespace
}  // namespace notecast::host
