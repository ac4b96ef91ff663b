#include "host/dmx/ShowFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>
#include <string>
#include <vector>

namespace notecast::host {
namespace {

using std::chrono::milliseconds;

std::vector<ShowFrame> framesOf(ShowFile& show) {
  std::vector<ShowFrame> frames;
  while (auto frame = show.next()) frames.push_back(std::move(*frame));
  return frames;
}

std::vector<ShowFrame> framesOf(const QByteArray& text) {
  ShowFile show = ShowFile::fromText(text, "x");
  return framesOf(show);
}

// The message of the std::invalid_argument that reading all of `text` throws; empty when none.
std::string parseError(const QByteArray& text) {
  try {
    ShowFile show = ShowFile::fromText(text, "test.show");
    framesOf(show);
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return {};
}

TEST(ShowFileTest, FramesKeepUniverseValuesAndTheDelayAfterThem) {
  const auto frames = framesOf("OLA Show\n1 0,255,7\n40\n2 9\n1500\n1 \n");
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].universe, 1u);
  EXPECT_EQ(frames[0].values, (std::vector<std::uint8_t>{0, 255, 7}));
  EXPECT_EQ(frames[0].delayAfter, milliseconds(40));
  EXPECT_EQ(frames[1].universe, 2u);
  EXPECT_EQ(frames[1].delayAfter, milliseconds(1500));
  // An empty frame, as the recorder writes one; nothing after the last frame.
  EXPECT_TRUE(frames[2].values.empty());
  EXPECT_EQ(frames[2].delayAfter, milliseconds(0));
}

TEST(ShowFileTest, CarriageReturnsAndEmptyLinesAtTheEndAreAccepted) {
  const auto frames = framesOf("OLA Show\r\n3 1,2\r\n25\r\n3 4\r\n\r\n\n");
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].values, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(frames[0].delayAfter, milliseconds(25));
  EXPECT_EQ(frames[1].values, (std::vector<std::uint8_t>{4}));
  // A delay after the last frame is kept (a loop waits that long).
  EXPECT_EQ(framesOf("OLA Show\n3 1\n25\n\n").back().delayAfter, milliseconds(25));
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
  // Binary bytes are shown escaped, a long one cut: a NUL must not end the message.
  EXPECT_EQ(parseError(QByteArray("OLA Show\n1 7\n0\n1 1,2\0\"\xff\n", 24)),
            "test.show: line 4: \"2\\x00\\\"\\xFF\" is not a value 0..255");
  EXPECT_EQ(parseError("OLA Show\n1 " + QByteArray(50, '9') + "\n"),
            "test.show: line 2: \"" + std::string(40, '9') + "...\" is not a value 0..255");
  EXPECT_EQ(parseError("OLA Show\n1 1\n" + QByteArray(20000, '4') + "\n"),
            "test.show: line 3: longer than 16384 bytes");
}

TEST(ShowFileTest, MistakesFurtherOnAreFoundWhenTheirLineIsRead) {
  ShowFile show = ShowFile::fromText("OLA Show\n1 1\n40\n1 x\n", "test.show");
  ASSERT_TRUE(show.next());
  EXPECT_THROW(show.next(), std::invalid_argument);
}

TEST(ShowFileTest, LastLineCutShortIsLeftOutAndTold) {
  ShowFile cutFrame = ShowFile::fromText("OLA Show\n1 1\n40\n1 2,3,", "cut.show");
  EXPECT_EQ(framesOf(cutFrame).size(), 1u);
  EXPECT_EQ(cutFrame.cutShort().toStdString(),
            "cut.show: line 4: cut short at the end of the recording (\"\" is not a value "
            "0..255); left out");
  ShowFile cutDelay = ShowFile::fromText("OLA Show\n1 1\n4x", "cut.show");
  const auto frames = framesOf(cutDelay);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].delayAfter, milliseconds(0));
  EXPECT_TRUE(cutDelay.cutShort().contains("line 3: cut short"));
  // A line that still reads may have lost digits all the same: without its line end it is out.
  ShowFile readable = ShowFile::fromText("OLA Show\n1 1\n40\n1 2,3", "cut.show");
  EXPECT_EQ(framesOf(readable).size(), 1u);
  EXPECT_EQ(readable.cutShort().toStdString(),
            "cut.show: line 4: cut short at the end of the recording (no line end); left out");
  ShowFile readableDelay = ShowFile::fromText("OLA Show\n1 1\n40", "cut.show");
  EXPECT_EQ(framesOf(readableDelay).back().delayAfter, milliseconds(0));
  EXPECT_TRUE(readableDelay.cutShort().contains("line 3: cut short"));
  // With no whole frame before it, the recording is rejected.
  EXPECT_EQ(parseError("OLA Show\n1 2,"), "test.show: line 2: \"\" is not a value 0..255");
  EXPECT_EQ(parseError("OLA Show\n1 2"),
            "test.show: line 2: the only frame has no line end: it may be cut short");
}

TEST(ShowFileTest, RewindStartsOverFromTheFirstFrame) {
  QTemporaryDir folder;
  QFile file(folder.filePath("loop.show"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("OLA Show\n1 1\n40\n1 2\n");
  file.close();
  ShowFile show = ShowFile::open(file.fileName());
  EXPECT_EQ(framesOf(show).size(), 2u);
  show.rewind();
  const auto again = framesOf(show);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].values, (std::vector<std::uint8_t>{1}));
}

TEST(ShowFileTest, LoadNamesTheFileItCannotRead) {
  QTemporaryDir folder;
  const QString missing = folder.filePath("missing.show");
  try {
    ShowFile::open(missing);
    FAIL() << "no error";
  } catch (const std::invalid_argument& error) {
    EXPECT_TRUE(std::string(error.what())
                    .starts_with("cannot read show file " + missing.toStdString() + ": "))
        << error.what();
  }
  EXPECT_THROW(ShowFile::open(folder.path()), std::invalid_argument);
  // Endless files are rejected at their first line, without reading them whole.
  for (const char* endless : {"/dev/zero", "/dev/urandom"}) {
    try {
      ShowFile::open(endless);
      FAIL() << endless;
    } catch (const std::invalid_argument& error) {
      EXPECT_TRUE(std::string(error.what())
                      .ends_with("line 1: not a show file (the first line is "
                                 "not \"OLA Show\")"))
          << error.what();
    }
  }
}

}  // namespace
}  // namespace notecast::host
