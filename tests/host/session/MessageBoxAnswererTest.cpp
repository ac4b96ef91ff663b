#include "host/session/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <sstream>

namespace notecast::host {
namespace {

class MessageBoxAnswererTest : public ::testing::Test {
 protected:
  void SetUp() override { answerer.start(); }

  std::ostringstream report;
  MessageBoxAnswerer answerer{report};
};

TEST_F(MessageBoxAnswererTest, PressesTheDefaultButtonAndReportsTheBox) {
  QMessageBox box(QMessageBox::Warning, "Notecast", "Line 1\nLine \"2\"",
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::No);
  EXPECT_EQ(box.exec(), QMessageBox::No);
  EXPECT_EQ(report.str(),
            "box \"Notecast\" \"Line 1\\nLine \\\"2\\\"\" [Yes,No*,Cancel] warning -> No\n");
}

TEST_F(MessageBoxAnswererTest, GivenAnswerIsUsedByTheNextBoxOnly) {
  answerer.setNextAnswer(QMessageBox::Cancel);
  EXPECT_EQ(QMessageBox::question(nullptr, "Save", "Save changes?",
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes),
            QMessageBox::Cancel);
  EXPECT_EQ(QMessageBox::question(nullptr, "Save", "Again?", QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No),
            QMessageBox::No);
  EXPECT_EQ(report.str(),
            "box \"Save\" \"Save changes?\" [Yes*,No,Cancel] question -> Cancel\n"
            "box \"Save\" \"Again?\" [Yes,No*] question -> No\n");
}

TEST_F(MessageBoxAnswererTest, AnswerTheBoxLacksFallsBackToItsDefault) {
  answerer.setNextAnswer(QMessageBox::Yes);
  EXPECT_EQ(QMessageBox::information(nullptr, "Info", "Done"), QMessageBox::Ok);
  EXPECT_EQ(report.str(), "box \"Info\" \"Done\" [OK*] information -> OK\n");
}

TEST_F(MessageBoxAnswererTest, OwnButtonsShowTheirCaptionWithoutShortcutMark) {
  QMessageBox box(QMessageBox::NoIcon, "", "Pick");
  QPushButton* keep = box.addButton("&Keep && go", QMessageBox::AcceptRole);
  box.setDefaultButton(keep);
  box.exec();
  EXPECT_EQ(box.clickedButton(), keep);
  EXPECT_EQ(report.str(), "box \"\" \"Pick\" [Keep & go*] none -> Keep & go\n");
}

}  // namespace
}  // namespace notecast::host
