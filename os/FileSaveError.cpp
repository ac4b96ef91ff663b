#include "os/FileSaveError.h"

#include <cctype>
#include <system_error>

namespace notecast {
namespace {

std::string reasonOrDescription(std::string reason, int error) {
  if (reason.empty()) return FileSaveError::describe(error);
  return reason;
}

}  // namespace

FileSaveError::FileSaveError(const std::string& path, int error, std::string reason)
    : std::runtime_error("cannot save " + path + ": " + reasonOrDescription(reason, error)),
      path_(path),
      error_(error),
      reason_(reasonOrDescription(std::move(reason), error)) {}

std::string FileSaveError::describe(int error) {
  std::string text = std::generic_category().message(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace notecast
