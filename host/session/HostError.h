#pragma once
// A failure that stops the host before it can drive the plug-in (no library, no class, no script
// file). Its text is the complete message for the user.

#include <stdexcept>
#include <string>

namespace notecast::host {

class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace notecast::host
