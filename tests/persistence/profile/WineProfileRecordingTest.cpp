// The store against what the Windows profile functions answered under wine, as recorded in
// wine/recording.txt: the comparison of WineProfileTest without wine, so every run makes it.

#include <gtest/gtest.h>

#include "tests/persistence/profile/WindowsProfileCases.h"
#include "tests/persistence/profile/WindowsProfileRecording.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::ProfileCase;
using testing::ProfileRecording;

const std::string kRecording = NOTECAST_WINE_RECORDING_FILE;

TEST(WineProfileRecordingTest, StoreAnswersAsWindowsDidUnderWine) {
  const ProfileRecording recording = testing::readProfileRecording(kRecording);
  ASSERT_FALSE(recording.cases.empty());
  testing::expectStoreAnswersAs(recording.cases, recording.answers);
}

TEST(WineProfileRecordingTest, RecordingHoldsTheLiveComparisonsCases) {
  const std::vector<ProfileCase> cases = testing::windowsProfileCases();
  const ProfileRecording recording = testing::readProfileRecording(kRecording);
  ASSERT_EQ(recording.cases.size(), cases.size()) << "re-record with wine/record.sh";
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_TRUE(recording.cases[i] == cases[i])
        << "case " << i << " is not WindowsProfileCases.cpp's: re-record with wine/record.sh";
}

TEST(WineProfileRecordingTest, EveryByteReadsBackAsWritten) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  bytes += std::string(16, '\\') + std::string(2000, 'L') + "{" + std::string(15, '\x81');
  const ProfileRecording written{
      {{bytes, {{false, bytes, "", "x\\x41\""}, {true, "\"", "\\", "\r\n"}}, false},
       {std::nullopt, {}}},
      {{testing::quoted(bytes), "1", testing::kNoFile}, {testing::kNoFile}}};
  const testing::TempDir dir;
  testing::writeProfileRecording(dir.file("recording.txt"), {"a header", ""}, written);
  const ProfileRecording read = testing::readProfileRecording(dir.file("recording.txt"));
  EXPECT_EQ(read.cases, written.cases);
  EXPECT_EQ(read.answers, written.answers);
}

}  // namespace
}  // namespace notecast
