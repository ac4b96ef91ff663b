// The desktop window at work on the built plug-in: what it shows of the project and the shared
// commands, firing a command, Configure and Save with their failures.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "abi/RuntimeError.h"
#include "host/desktop/OutputStatusPanel.h"
#include "host/session/PluginGate.h"
#include "host/session/ResultFormat.h"
#include "tests/host/desktop/DesktopFixture.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/UiInput.h"

namespace notecast::host {
namespace {

constexpr int kControlChange = 0xB0;

// Two shared events around one that is not shared, so a command's value (its entry index)
// differs from its row in the list.
const std::string kTwoSharedEvents = eventHeader(2) + eventEntry(0, kNoteOn, 60, 100, "Intro hit") +
                                     eventEntry(1, kNoteOn, 61, 90, "") +
                                     eventEntry(2, kControlChange, 20, 1, "Scene change");

// As a window system delivers a double click: press, release, then the second press as a double
// click, and its release (QTest's double click alone is the third event only).
void doubleClickListRow(QAbstractItemView* list, int row) {
  const QPoint place = list->visualRect(list->model()->index(row, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
}

class DesktopWindowTest : public DesktopFixture {
 protected:
  QStringList commandCaptions() const {
    QStringList captions;
    auto* list = find<QListWidget>(HostMainWindow::kCommandListName);
    for (int row = 0; row < list->count(); ++row) captions << list->item(row)->text();
    return captions;
  }
  // The plug-in's virtual output, read by a client of the test's own.
  std::unique_ptr<testing::MidiReader> listenToPlugin() const {
    auto reader = std::make_unique<testing::MidiReader>(testing::ownClientName("desktop-reader"));
    EXPECT_TRUE(testing::waitUntil([&] { return reader->listenTo("Notecast:out"); }));
    return reader;
  }
};

TEST_F(DesktopWindowTest, ShowsTheProjectAndTheSharedEventsOfItsFile) {
  testing::writeBytes(eventFile(), kTwoSharedEvents);
  openHost(base());
  EXPECT_EQ(window_->objectName(), "notecastHost");
  EXPECT_EQ(find<QLabel>(HostMainWindow::kProjectName)->text(), "show");
  EXPECT_EQ(find<QLabel>(HostMainWindow::kEventFileName)->text(),
            QString::fromStdString(eventFile()));
  EXPECT_EQ(commandCaptions(), (QStringList{"Intro hit", "Scene change"}));
}

TEST_F(DesktopWindowTest, RefreshFetchesTheCommandsAgain) {
  testing::writeBytes(eventFile(), eventHeader(0) + eventEntry(0, kNoteOn, 60, 100, "Intro hit"));
  openHost(base());
  ASSERT_EQ(commandCaptions(), QStringList{"Intro hit"});

  testing::writeBytes(eventFile(), kTwoSharedEvents);
  ASSERT_EQ(session_->windowAs<lumo::ILumoTool>()->LoadProjectData(), S_OK);
  EXPECT_EQ(commandCaptions(), QStringList{"Intro hit"}) << "a reload alone changes nothing";
  click(HostMainWindow::kRefreshButtonName);
  EXPECT_EQ(commandCaptions(), (QStringList{"Intro hit", "Scene change"}));
  EXPECT_EQ(status(), "2 shared commands");
}

TEST_F(DesktopWindowTest, FiringSendsThePickedEventsMessage) {
  testing::writeBytes(eventFile(), kTwoSharedEvents);
  openHost(base());
  const auto reader = listenToPlugin();
  auto* list = find<QListWidget>(HostMainWindow::kCommandListName);
  auto* fire = find<QPushButton>(HostMainWindow::kFireButtonName);
  EXPECT_FALSE(fire->isEnabled()) << "nothing picked yet";

  testing::clickListRow(list, 1);
  ASSERT_TRUE(fire->isEnabled());
  QTest::mouseClick(fire, Qt::LeftButton);
  EXPECT_EQ(status(), "Fired \"Scene change\"");
  EXPECT_EQ(reader->next(), (testing::Bytes{kControlChange, 20, 1}));

  doubleClickListRow(list, 0);
  EXPECT_EQ(status(), "Fired \"Intro hit\"");
  EXPECT_EQ(reader->next(), (testing::Bytes{kNoteOn, 60, 100}));
  EXPECT_TRUE(reader->next(std::chrono::milliseconds(200)).empty()) << "each fired once";
}

TEST_F(DesktopWindowTest, ConfigureShowsThePluginWindow) {
  openHost(base());
  click(HostMainWindow::kConfigureButtonName);
  EXPECT_EQ(status(), "Configuration window shown");
  bool shown = false;
  for (QWidget* widget : QApplication::topLevelWidgets())
    shown |= widget->objectName() == "Configfrm" && widget->isVisible();
  EXPECT_TRUE(shown);
}

TEST_F(DesktopWindowTest, SaveWritesTheEventFile) {
  testing::writeBytes(eventFile(), kTwoSharedEvents);
  openHost(base());
  std::filesystem::remove(eventFile());
  click(HostMainWindow::kSaveButtonName);
  EXPECT_EQ(status(), QString("Saved %1").arg(QString::fromStdString(eventFile())));
  const std::string saved = testing::readBytes(eventFile());
  EXPECT_NE(saved.find("ShareName=Scene change\r\n"), std::string::npos) << saved;
}

// The plug-in's own words say why, as in its save question's box.
TEST_F(DesktopWindowTest, FailedSaveIsShownWithItsReasonAndCode) {
  const std::string missingFolder = base("missing/show");
  openHost(missingFolder);
  click(HostMainWindow::kSaveButtonName);
  const HRESULT pathFileAccess =
      resultFromErrorNumber(static_cast<int>(ErrorNumber::PathFileAccess));
  EXPECT_EQ(status(), QString::fromStdString("Save failed: cannot save " + missingFolder +
                                             ".Notecast: no such file or directory (" +
                                             formatError(pathFileAccess) + ")"));
  EXPECT_TRUE(window_->isVisible());
}

// A plug-in call in progress (a box of the plug-in's own) runs the event loop; nothing may call
// the plug-in again meanwhile.
TEST_F(DesktopWindowTest, ActionsWaitWhileAnotherPluginCallIsInProgress) {
  openHost(base());
  {
    const PluginGate::Call otherCall(session_->gate());
    click(HostMainWindow::kSaveButtonName);
  }
  EXPECT_EQ(status(), "Save must wait: the plug-in is busy with another call");
  EXPECT_FALSE(std::filesystem::exists(eventFile()));
}

TEST_F(DesktopWindowTest, DmxStatusFollowsTheInput) {
  DmxInputStatus input{"standard input", "running", 0, 0, 0, 0, 0};
  openHost(base(), [&input] { return input; });
  auto* lastChange = find<QLabel>(DmxStatusPanel::kLastChangeName);
  EXPECT_EQ(find<QLabel>(DmxStatusPanel::kSourceName)->text(), "standard input");
  EXPECT_EQ(lastChange->text(), "none yet");

  input = {"standard input", "ended", 43.5, 120, 7, 513, 255};
  window_->refreshDmxStatus();
  EXPECT_EQ(find<QLabel>(DmxStatusPanel::kStateName)->text(), "ended");
  EXPECT_EQ(find<QLabel>(DmxStatusPanel::kRateName)->text(), "43.5");
  EXPECT_EQ(find<QLabel>(DmxStatusPanel::kFramesName)->text(), "120");
  EXPECT_EQ(find<QLabel>(DmxStatusPanel::kChangesName)->text(), "7");
  EXPECT_EQ(lastChange->text(), "channel 513 = 255");

  // Without a signal, the panel's own timer catches up.
  input.lastValue = 0;
  EXPECT_TRUE(QTest::qWaitFor([&] { return lastChange->text() == "channel 513 = 0"; },
                              4 * DmxStatusPanel::kRefreshIntervalMs));
}

// Far wider than the window: the bar shows it cut after a whole word, the tool tip and the log
// whole, and the window keeps its width.
TEST_F(DesktopWindowTest, ALongMessageIsCutAtAWordAndWholeInItsToolTipAndTheLog) {
  openHost(base());
  const int width = window_->width();
  QString text = "DMX input failed:";
  for (int word = 0; word < 60; ++word) text += " w" + QString(word % 7 + 1, 'x');
  window_->showFailure(text);
  QApplication::processEvents();
  auto* message = find<QLabel>(StatusMessages::kMessageName);
  EXPECT_EQ(message->toolTip(), text);
  ASSERT_TRUE(message->text().endsWith("…")) << message->text().toStdString();
  const QString shown = message->text().chopped(1);
  EXPECT_TRUE(text.startsWith(shown) && text.at(shown.size()) == ' ')
      << message->text().toStdString();
  EXPECT_LE(message->fontMetrics().horizontalAdvance(message->text()),
            message->contentsRect().width());
  EXPECT_EQ(window_->width(), width);

  for (int more = 1; more <= 40; ++more) window_->showSuccess(QString("Message %1").arg(more));
  EXPECT_EQ(message->text(), "Message 40") << "a short one whole";
  click(StatusMessages::kLogButtonName);
  auto* log = find<QPlainTextEdit>(StatusMessages::kLogTextName);
  ASSERT_TRUE(log->isVisible());
  const QStringList lines = log->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 42) << "the first, the long one and 40 more";
  EXPECT_TRUE(lines[1].endsWith("  " + text)) << "whole, after its time";
  EXPECT_TRUE(lines.back().endsWith("  Message 40"));
  QScrollBar* scroll = log->verticalScrollBar();
  EXPECT_TRUE(scroll->maximum() > 0 && scroll->value() == scroll->maximum()) << "newest in view";
}

// More messages than the box shows, then others: each time the newest is in view.
TEST(OutputStatusPanelTest, KeepsTheNewestMessageSentInView) {
  PluginGate gate;
  int newest = 20;
  OutputStatusPanel panel(
      [&newest] {
        OutputStatusSnapshot status{"out", OutputState::kOpen, newest, 0, {}, {}};
        for (int number = newest - 19; number <= newest; ++number)
          status.recentMessages += "90 3C " + std::to_string(number) + "\n";
        return std::optional(status);
      },
      gate);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  auto* recent = panel.findChild<QPlainTextEdit*>(OutputStatusPanel::kRecentName);
  for (newest = 20; newest <= 21; ++newest) {
    panel.refresh();
    QScrollBar* scroll = recent->verticalScrollBar();
    EXPECT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum()) << "after message " << newest;
  }
}

}  // namespace
}  // namespace notecast::host
