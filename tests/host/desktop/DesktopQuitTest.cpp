// Quitting the desktop window: the plug-in is asked about unsaved changes first, by the Quit
// button, Ctrl+Q and the frame's close button alike; the host only ends when nobody objects, and
// then in one step, whatever the plug-in's window is doing. A stop signal ends it without a
// question, even while a box of the plug-in's is open.

#include <signal.h>

#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "host/ExitStatus.h"
#include "host/HostLoop.h"
#include "host/SignalWatcher.h"
#include "host/session/PluginGate.h"

#include "abi/RuntimeError.h"
#include "host/session/ResultFormat.h"
#include "tests/host/desktop/DesktopFixture.h"
#include "tests/support/BoxAnswerer.h"

namespace notecast::host {
namespace {

constexpr const char* kQuestionTitle = "Save changed?";
constexpr int kNoShortMessage = 240;  // the plug-in refuses to send it, and says so in a box
constexpr int kTimedOut = 99;
constexpr int kDeadlineMs = 30000;  // generous: each run ends within a second

const std::string kOneEvent = eventHeader(0) + eventEntry(0, kNoteOn, 60, 100, "Intro hit");

class DesktopQuitTest : public DesktopFixture {
 protected:
  // The project loaded, then its file changed behind the plug-in's back: what the plug-in holds
  // is no longer what is stored, so it has unsaved changes.
  void openWithUnsavedChanges() {
    testing::writeBytes(eventFile(), kOneEvent);
    openHost(base());
    testing::writeBytes(eventFile(), eventHeader(0) + eventEntry(0, kNoteOn, 61, 100, "Intro hit"));
  }
  // Runs the host's loop, as the host does, until it ends or the deadline passes.
  int runLoop(HostLoop& loop) {
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&loop] { loop.end(kTimedOut); });
    deadline.start(kDeadlineMs);
    return loop.run();
  }
  static bool pluginWindowShown() {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (widget->objectName() == "Configfrm" && widget->isVisible()) return true;
    return false;
  }
  void pressCtrlQ() {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
  }
};

TEST_F(DesktopQuitTest, WithoutChangesTheHostEndsWithoutAQuestion) {
  testing::writeBytes(eventFile(), kOneEvent);
  openHost(base());
  click(HostMainWindow::kSaveButtonName);
  QSignalSpy quit(window_.get(), &HostMainWindow::quitRequested);
  testing::BoxAnswerer answerer(QMessageBox::Cancel);
  click(HostMainWindow::kQuitButtonName);
  EXPECT_TRUE(answerer.shown().empty());
  EXPECT_EQ(quit.count(), 1);
}

TEST_F(DesktopQuitTest, CancellingTheQuestionKeepsTheHostRunning) {
  openWithUnsavedChanges();
  QSignalSpy quit(window_.get(), &HostMainWindow::quitRequested);
  testing::BoxAnswerer answerer(QMessageBox::Cancel);

  click(HostMainWindow::kQuitButtonName);
  pressCtrlQ();
  EXPECT_FALSE(window_->close());

  ASSERT_EQ(answerer.shown().size(), 3u) << "each way asks";
  for (const auto& box : answerer.shown()) EXPECT_EQ(box.title, kQuestionTitle);
  EXPECT_EQ(quit.count(), 0);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(status(), "Quit cancelled");
}

TEST_F(DesktopQuitTest, AnsweringNoEndsTheHostWithoutSaving) {
  openWithUnsavedChanges();
  const std::string changed = testing::readBytes(eventFile());
  QSignalSpy quit(window_.get(), &HostMainWindow::quitRequested);
  testing::BoxAnswerer answerer(QMessageBox::No);
  pressCtrlQ();
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_EQ(quit.count(), 1);
  EXPECT_NE(testing::readBytes(eventFile()).find("Data1=61"), std::string::npos)
      << "nothing saved over the file";

  // The receiver's own close after an approved quit asks no more.
  EXPECT_TRUE(window_->close());
  EXPECT_EQ(answerer.shown().size(), 1u);
  EXPECT_EQ(quit.count(), 1);
}

// A stored value that is no number cannot be compared: the question fails, and the user can
// mend the file and try again.
TEST_F(DesktopQuitTest, AFailingQuestionIsShownAndTheHostKeepsRunning) {
  testing::writeBytes(eventFile(), kOneEvent);
  openHost(base());
  testing::writeBytes(eventFile(), eventHeader(0) + "[Entry_0]\r\nDMXChannel=one\r\n");
  QSignalSpy quit(window_.get(), &HostMainWindow::quitRequested);
  testing::BoxAnswerer answerer(QMessageBox::No);

  click(HostMainWindow::kQuitButtonName);
  const HRESULT typeMismatch = resultFromErrorNumber(static_cast<int>(ErrorNumber::TypeMismatch));
  EXPECT_EQ(status(), QString::fromStdString("Quit failed: type mismatch (" +
                                             formatError(typeMismatch) + ")"));
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(quit.count(), 0);
  EXPECT_TRUE(answerer.shown().empty());

  testing::writeBytes(eventFile(), kOneEvent);
  click(HostMainWindow::kQuitButtonName);
  EXPECT_EQ(quit.count(), 1);
}

// The plug-in's window refuses to close (it unloads itself later): the host ends all the same.
TEST_F(DesktopQuitTest, QuitEndsTheHostInOneStepWhileThePluginWindowIsShown) {
  testing::writeBytes(eventFile(), kOneEvent);
  openHost(base());
  click(HostMainWindow::kConfigureButtonName);
  ASSERT_TRUE(pluginWindowShown());

  HostLoop loop;
  QObject::connect(window_.get(), &HostMainWindow::quitRequested,
                   [&loop] { loop.end(kExitSuccess); });
  QTimer::singleShot(0, window_.get(), [this] { click(HostMainWindow::kQuitButtonName); });
  EXPECT_EQ(runLoop(loop), kExitSuccess) << "one Quit, and the loop is over";
}

// The signal comes while the plug-in's box waits for an answer inside a DMX delivery: the box's
// loop ends, the delivery returns, and so does the host's loop.
TEST_F(DesktopQuitTest, AStopSignalEndsTheHostWhileABoxOfThePluginIsOpen) {
  testing::writeBytes(eventFile(), eventHeader(0) + eventEntry(0, kNoShortMessage, 1, 1, ""));
  openHost(base());
  HostLoop loop;
  SignalWatcher stopSignals;
  QObject::connect(&stopSignals, &SignalWatcher::stopRequested,
                   [&loop] { loop.end(kExitSuccess); });

  bool delivered = false;
  QTimer::singleShot(0, window_.get(), [&] {
    const PluginGate::Call call(session_->gate());
    std::int32_t message = lumo::kMessageChannelValue, channel = 1, value = 200, result = 0;
    session_->plugin().MessageHandle(&message, &channel, &value, &result);
    delivered = true;
  });
  bool boxSeen = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (boxSeen || !box || !box->isVisible()) return;
    boxSeen = true;
    ::raise(SIGTERM);
  });
  watch.start(10);
  EXPECT_EQ(runLoop(loop), kExitSuccess);
  EXPECT_TRUE(boxSeen);
  EXPECT_TRUE(delivered) << "the plug-in's call came back before the host ended";
}

}  // namespace
}  // namespace notecast::host
