#include "host/dmx/ShowFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <stdexcept>
#include <string>

namespace notecast::host {
namespace {

using std::chrono::milliseconds;

// The message of the std::invalid_argument that parsing `text` throws; empty when it parses.
std::string parseError(const QByteArray& text) {
  try {
    ShowFile::parse(text, "test.show");
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return {};
}

TEST(ShowFileTest, FramesKeepUniverseValuesAndTheDelayAfterThem) {
  const ShowFile show = ShowFile::parse("OLA Show\n1 0,255,7\n40\n2 9\n1500\n1 \n", "x");
  ASSERT_EQ(show.frames().size(), 3u);
  EXPECT_EQ(show.frames()[0].universe, 1u);
  EXPECT_EQ(show.frames()[0].values, (std::vector<std::uint8_t>{0, 255, 7}));
  EXPECT_EQ(show.frames()[0].delayAfter, milliseconds(40));
  EXPECT_EQ(show.frames()[1].universe, 2u);
  EXPECT_EQ(show.frames()[1].delayAfter, milliseconds(1500));
  // An empty frame, as the recorder writes one; nothing after the last frame.
  EXPECT_TRUE(show.frames()[2].values.empty());
  EXPECT_EQ(show.frames()[2].delayAfter, milliseconds(0));
}

TEST(ShowFileTest, CarriageReturnsAndEmptyLinesAtTheEndAreAccepted) {
  const ShowFile show = ShowFile::parse("OLA Show\r\n3 1,2\r\n25\r\n3 4\r\n\r\n\n", "x");
  ASSERT_EQ(show.frames().size(), 2u);
  EXPECT_EQ(show.frames()[0].values, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(show.frames()[0].delayAfter, milliseconds(25));
  EXPECT_EQ(show.frames()[1].values, (std::vector<std::uint8_t>{4}));
}

TEST(ShowFileTest, MalformedFilesAreRejectedWithFileAndLine) {
  EXPECT_EQ(parseError("OLA Sho\n1 1\n"),
            "test.show: line 1: not a show file (the first line is not \"OLA Show\")");
  EXPECT_EQ(parseError(""),
            "test.show: line 1: not a show file (the first line is not \"OLA Show\")");
  EXPECT_EQ(parseError("OLA Show\n"), "test.show: line 1: no frames");
  EXPECT_EQ(parseError("OLA Show\n1 1,256\n"), "test.show: line 2: \"256\" is not a value 0..255");
  EXPECT_EQ(parseError("OLA Show\n1 1,,2\n"), "test.show: line 2: \"\" is not a value 0..255");
  EXPECT_EQ(parseError("OLA Show\n1 1\n-5\n1 2\n"),
            "test.show: line 3: expected a delay in milliseconds");
  EXPECT_EQ(parseError("OLA Show\n1 1\n40\n\n40\n1 2\n"),
            "test.show: line 4: expected \"UNIVERSE V1,V2,...\" with a universe from 1");
  // Universe 0 has no channels: (0 - 1) * 512 + slot.
  EXPECT_EQ(parseError("OLA Show\n0 1\n"),
            "test.show: line 2: expected \"UNIVERSE V1,V2,...\" with a universe from 1");
  EXPECT_EQ(parseError("OLA Show\n1 +1\n"), "test.show: line 2: \"+1\" is not a value 0..255");
  EXPECT_EQ(parseError("OLA Show\n1 " + QByteArray("0,").repeated(512) + "0\n"),
            "test.show: line 2: more than 512 values");
}

TEST(ShowFileTest, LoadNamesTheFileItCannotRead) {
  QTemporaryDir folder;
  const QString missing = folder.filePath("missing.show");
  try {
    ShowFile::load(missing);
    FAIL() << "no error";
  } catch (const std::invalid_argument& error) {
    EXPECT_TRUE(std::string(error.what())
                    .starts_with("cannot read show file " + missing.toStdString() + ": "))
        << error.what();
  }
  EXPECT_THROW(ShowFile::load(folder.path()), std::invalid_argument);
}

}  // namespace
}  // namespace notecast::host
