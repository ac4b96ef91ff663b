#pragma once
// A call the host understood but cannot make as asked: an unknown control, a control of another
// kind, a row the control does not have. The runner prints it as bad "REASON" and the script goes
// on; the plug-in has not been told anything about it.

#include <stdexcept>
#include <string_view>

namespace notecast::host {

class BadCall : public std::runtime_error {
 public:
  explicit BadCall(std::string_view reason) : std::runtime_error(std::string(reason)) {}
};

}  // namespace notecast::host
