#pragma once
// A profile file read as it streams past, line by line, for a look at a file of any size in
// little memory: each section header and key line, classified as the document classifies it
// (ProfileLine), in file order. Blank lines are left out, and a UTF-8 byte-order mark at the
// start is skipped, as a load does. What the document makes of a repeated name (the first
// counts) is the caller's to keep.
//
// Contract: any thread; keeps nothing between calls.

#include <functional>
#include <string_view>

#include "persistence/profile/ProfileLine.h"

namespace notecast {

class ProfileScan {
 public:
  // Called with each header and key line and its text (without the line end), which line's
  // name() and value() take as their buffer. The text lives until the call returns.
  using Visit = std::function<void(const ProfileLine& line, std::string_view text)>;

  // Reads the open descriptor from where it stands to its end. Returns 0, or the errno of a
  // failed read.
  static int read(int descriptor, const Visit& visit);
};

}  // namespace notecast
