#pragma once
// A file that could not be saved (or deleted in its place), with the reason: what() reads
// "cannot save /path/x.ini: permission denied (the file is read-only)".

#include <stdexcept>
#include <string>

namespace notecast {

class FileSaveError : public std::runtime_error {
 public:
  // reason defaults to describe(error).
  FileSaveError(const std::string& path, int error, std::string reason = {});

  // The system's text of an errno value, lower case: "no space left on device".
  static std::string describe(int error);

  const std::string& path() const noexcept { return path_; }
  // The errno value behind the failure (EACCES for a read-only file).
  int error() const noexcept { return error_; }
  const std::string& reason() const noexcept { return reason_; }

 private:
  std::string path_;
  int error_;
  std::string reason_;
};

}  // namespace notecast
