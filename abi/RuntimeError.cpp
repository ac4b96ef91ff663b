#include "abi/RuntimeError.h"

#include <cstdio>

namespace notecast {

RuntimeError::RuntimeError(std::int32_t number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

RuntimeError::RuntimeError(ErrorNumber number)
    : RuntimeError(static_cast<std::int32_t>(number),
                   describeErrorNumber(static_cast<std::int32_t>(number))) {}

HRESULT RuntimeError::result() const noexcept {
  return resultFromErrorNumber(number_);
}

NotImplemented::NotImplemented(const std::string& operation)
    : std::logic_error(operation + " is not available in this version") {}

FailedResult::FailedResult(HRESULT result)
    : std::runtime_error(describeResult(result)), result_(result) {}

void throwIfFailed(HRESULT hr) {
  if (FAILED(hr)) throw FailedResult(hr);
}

HRESULT resultFromErrorNumber(std::int32_t number) noexcept {
  return static_cast<HRESULT>(kRuntimeErrorFacility |
                              (static_cast<std::uint32_t>(number) & 0xFFFFu));
}

const char* describeErrorNumber(std::int32_t number) noexcept {
  switch (number) {
    case static_cast<std::int32_t>(ErrorNumber::Overflow):
      return "overflow";
    case static_cast<std::int32_t>(ErrorNumber::SubscriptOutOfRange):
      return "subscript out of range";
    case static_cast<std::int32_t>(ErrorNumber::TypeMismatch):
      return "type mismatch";
    case static_cast<std::int32_t>(ErrorNumber::PathFileAccess):
      return "path/file access error";
    case static_cast<std::int32_t>(ErrorNumber::ObjectNotSet):
      return "object variable not set";
    case static_cast<std::int32_t>(ErrorNumber::NoSuchMember):
      return "object does not support this property or method";
    default:
      return "run-time error";
  }
}

std::string describeResult(HRESULT hr) {
  switch (hr) {
    case S_OK:
      return "success";
    case S_FALSE:
      return "success (false)";
    case E_NOTIMPL:
      return "not implemented";
    case E_NOINTERFACE:
      return "interface not supported";
    case E_POINTER:
      return "null pointer";
    case E_FAIL:
      return "unspecified failure";
    case E_UNEXPECTED:
      return "unexpected failure";
    case E_OUTOFMEMORY:
      return "out of memory";
    case E_INVALIDARG:
      return "invalid argument";
    case CLASS_E_NOAGGREGATION:
      return "class does not support aggregation";
    case CLASS_E_CLASSNOTAVAILABLE:
      return "class not available";
    case SELFREG_E_CLASS:
      return "class registration failed";
    default:
      break;
  }
  const auto bits = static_cast<std::uint32_t>(hr);
  if ((bits & 0xFFFF0000u) == kRuntimeErrorFacility) {
    const auto number = static_cast<std::int32_t>(bits & 0xFFFFu);
    char text[64];
    std::snprintf(text, sizeof text, "run-time error %d: ", number);
    return text + std::string(describeErrorNumber(number));
  }
  return FAILED(hr) ? "failure" : "success";
}

}  // namespace notecast
