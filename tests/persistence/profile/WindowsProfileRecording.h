#pragma once
// The recording of what the Windows profile functions answered under wine (wine/recording.txt,
// written by wine/record.sh through WineProfileTest): the cases' calls and the answers, one call
// a line, in the notation of WindowsProfileCases.h:
//   case N FILE [values-only]          a case: the file's bytes at the start, or none
//   get SECTION KEY DEFAULT -> VALUE    GetPrivateProfileStringA, with a 1024-byte buffer
//   put SECTION KEY VALUE -> RESULT     WritePrivateProfileStringA
//   end -> FILE                         the file's bytes after the calls, or none
// Lines starting with "#" are comments.

#include <string>
#include <vector>

#include "tests/persistence/profile/WindowsProfileCases.h"

namespace notecast::testing {

struct ProfileRecording {
  std::vector<ProfileCase> cases;
  std::vector<ProfileAnswers> answers;  // one entry a case
};

// Writes the recording; header (lines without the "#") says where it comes from.
void writeProfileRecording(const std::string& path, const std::vector<std::string>& header,
                           const ProfileRecording& recording);
// Reads a recording. Throws std::runtime_error, naming the line, where it breaks the notation.
ProfileRecording readProfileRecording(const std::string& path);

}  // namespace notecast::testing
