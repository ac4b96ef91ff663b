#pragma once
// Run-time errors inside the plug-in. An operation that cannot go on throws one; the boundary
// wrapper (Boundary.h) turns it into the failure result 0x800A0000 | number for the host.
//
// These exceptions MUST NOT cross the boundary: a method turns them into results, and a
// caller on either side turns a failure result back into FailedResult (throwIfFailed). An error
// number MUST fit in 16 bits: the result keeps only the low 16.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "abi/HResult.h"

namespace notecast {

// The error numbers that the plug-in raises itself.
enum class ErrorNumber : std::int32_t {
  Overflow = 6,
  SubscriptOutOfRange = 9,
  TypeMismatch = 13,
  PathFileAccess = 75,
  ObjectNotSet = 91,
  NoSuchMember = 438,
};

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(std::int32_t number, const std::string& description);
  explicit RuntimeError(ErrorNumber number);

  std::int32_t number() const noexcept { return number_; }
  HRESULT result() const noexcept;

 private:
  std::int32_t number_;
};

// An operation whose part of the system is not built into this version.
class NotImplemented : public std::logic_error {
 public:
  explicit NotImplemented(const std::string& operation);
};

// A failure result of another object's call, passed on unchanged.
class FailedResult : public std::runtime_error {
 public:
  explicit FailedResult(HRESULT result);
  HRESULT result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

// Throws FailedResult when hr is a failure.
void throwIfFailed(HRESULT hr);

HRESULT resultFromErrorNumber(std::int32_t number) noexcept;
const char* describeErrorNumber(std::int32_t number) noexcept;

}  // namespace notecast
