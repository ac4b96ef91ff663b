// Who answers the plug-in's boxes, and what they are given.

#include "core/BoxRequests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace notecast {
namespace {

class RecordingAnswerer final : public IBoxAnswerer {
 public:
  BoxAnswer AnswerBox(const char* title, const char* text, BoxButtons, BoxIcon,
                      BoxAnswer) noexcept override {
    asked.push_back(std::string(title) + "|" + text);
    return answer;
  }
  std::vector<std::string> asked;
  BoxAnswer answer = BoxAnswer::No;
};

class BoxRequestsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    BoxRequests::setHostAnswerer(nullptr);
    BoxRequests::setWindowBox({});
  }
  const BoxRequest question{"Changed.\rSave?\r\nNow", "Save changed?", BoxButtons::YesNoCancel,
                            BoxIcon::Question, BoxAnswer::Yes};
};

TEST_F(BoxRequestsTest, TheHostsAnswererIsAskedBeforeTheWindowAndGetsLineFeeds) {
  int windowBoxes = 0;
  BoxRequests::setWindowBox([&](const BoxRequest&) {
    ++windowBoxes;
    return BoxAnswer::Cancel;
  });
  RecordingAnswerer host;
  BoxRequests::setHostAnswerer(&host);
  EXPECT_EQ(BoxRequests::ask(question), BoxAnswer::No);
  EXPECT_EQ(host.asked, std::vector<std::string>{"Save changed?|Changed.\nSave?\nNow"});
  EXPECT_EQ(windowBoxes, 0);

  BoxRequests::setHostAnswerer(nullptr);
  EXPECT_EQ(BoxRequests::ask(question), BoxAnswer::Cancel) << "the window's box again";
  EXPECT_EQ(windowBoxes, 1);
}

// An answer the box has no button for, or no one to ask, is the box's default button.
TEST_F(BoxRequestsTest, WithoutAUsableAnswerTheDefaultButtonCounts) {
  EXPECT_EQ(BoxRequests::ask(question), BoxAnswer::Yes) << "nobody to ask";
  RecordingAnswerer host;
  host.answer = BoxAnswer::Ok;
  BoxRequests::setHostAnswerer(&host);
  EXPECT_EQ(BoxRequests::ask(question), BoxAnswer::Yes) << "OK is no button of a Yes/No/Cancel box";
}

}  // namespace
}  // namespace notecast
