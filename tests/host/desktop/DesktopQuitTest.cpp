// Quitting the desktop window: the plug-in is asked about unsaved changes first, by the Quit
// button, Ctrl+Q and the frame's close button alike; the host only ends when nobody objects.

#include <QMessageBox>
#include <QSignalSpy>

#include "abi/RuntimeError.h"
#include "host/session/ResultFormat.h"
#include "tests/host/desktop/DesktopFixture.h"
#include "tests/support/BoxAnswerer.h"

namespace notecast::host {
namespace {

constexpr const char* kQuestionTitle = "Save changed?";
constexpr int kNoteOn = 0x90;

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
  EXPECT_EQ(status(), QString::fromStdString("Quit failed: " + explainFailure(typeMismatch)));
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(quit.count(), 0);
  EXPECT_TRUE(answerer.shown().empty());

  testing::writeBytes(eventFile(), kOneEvent);
  click(HostMainWindow::kQuitButtonName);
  EXPECT_EQ(quit.count(), 1);
}

}  // namespace
}  // namespace notecast::host
