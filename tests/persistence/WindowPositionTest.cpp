// The window position keys on their own: what a load gives the window, and that a save never
// writes a position other than the one it was given.

#include <gtest/gtest.h>

#include "persistence/WindowPosition.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::readBytes;
using testing::writeBytes;

class WindowPositionTest : public ::testing::Test {
 protected:
  StoredWindowPosition loadFrom(const std::string& general) {
    writeBytes(path_, "[General]\r\n" + general);
    return position_.load();
  }

  testing::TempDir dir_;
  std::string path_ = dir_.file("show.Notecast");
  WindowPosition position_{path_};
};

TEST_F(WindowPositionTest, MissingKeysReadAsTheTopLeftCornerInTheNormalState) {
  const StoredWindowPosition stored = position_.load();
  EXPECT_EQ(stored.leftTwips, 0.0f);
  EXPECT_EQ(stored.topTwips, 0.0f);
  EXPECT_EQ(stored.state, 0);
}

TEST_F(WindowPositionTest, PositionsBeyondThe32BitRangeAreNotGiven) {
  StoredWindowPosition stored = loadFrom("Left=2200000000\r\nTop=1e12\r\nWindowState=2\r\n");
  EXPECT_EQ(stored.leftTwips, std::nullopt);
  EXPECT_EQ(stored.topTwips, std::nullopt);
  EXPECT_EQ(stored.state, 2) << "the other keys still count";

  stored = loadFrom("Left=2147483647\r\nTop=-2147483648\r\n");
  ASSERT_TRUE(stored.leftTwips && stored.topTwips);
  EXPECT_EQ(WindowPosition::toPixels(*stored.leftTwips), 143165577);
  EXPECT_EQ(WindowPosition::toPixels(*stored.topTwips), -143165577);

  stored = loadFrom("Left=2147483648\r\nTop=-2147483649\r\n");
  EXPECT_EQ(stored.leftTwips, std::nullopt);
  EXPECT_EQ(stored.topTwips, std::nullopt);
  stored = loadFrom("Left=-600.5\r\nTop=abc\r\n");
  EXPECT_EQ(stored.leftTwips, -600.5f);
  EXPECT_EQ(stored.topTwips, std::nullopt);
}

TEST_F(WindowPositionTest, ASaveWritesWholeTwipsAndLeavesWhatItCannotWrite) {
  writeBytes(path_, "[General]\r\nLeft=2200000000\r\nTop=1e12\r\n");
  position_.save(0, std::nullopt, 30);
  EXPECT_EQ(readBytes(path_), "[General]\r\nLeft=2200000000\r\nTop=450\r\nWindowState=0\r\n");

  // Pixels whose twips leave the 32-bit range (the largest stored positions, rounded outwards)
  // are not written with a wrapped sign.
  position_.save(1, 143165577, -143165577);
  EXPECT_EQ(readBytes(path_), "[General]\r\nLeft=2200000000\r\nTop=450\r\nWindowState=1\r\n");
  position_.save(1, 143165576, -143165576);
  EXPECT_EQ(readBytes(path_),
            "[General]\r\nLeft=2147483640\r\nTop=-2147483640\r\nWindowState=1\r\n");
}

}  // namespace
}  // namespace notecast
