#pragma once
// The two ways an error is handled inside a module (the plug-in, libLumoTypeLib.so, the host):
//  - callGuarded: every method of an interface is a thin noexcept wrapper around its body; any
//    exception becomes a failure result, so nothing ever throws across the boundary. It does not
//    touch out-parameters: a method MUST set them to null / empty before it, so that they are
//    null on failure.
//  - runStep: steps that must each run on their own (loading or saving a file key by key,
//    editing handlers) swallow their own failure and let the next step run.

#include <exception>
#include <new>
#include <string>

#include "abi/HResult.h"
#include "abi/RuntimeError.h"

namespace notecast {

// Maps the exception in flight to a failure result. MUST be called inside a catch block.
// RuntimeError -> 0x800A0000 | number, FailedResult -> its result, NotImplemented -> E_NOTIMPL,
// bad_alloc -> E_OUTOFMEMORY, invalid_argument -> E_INVALIDARG, others -> E_FAIL / E_UNEXPECTED.
// Notes the result as the calling thread's last failure (lastFailure).
HRESULT resultFromCurrentException() noexcept;

struct FailureRecord {
  HRESULT result = S_OK;  // S_OK: no failure yet on this thread
  // What the exception said: RuntimeError's description, NotImplemented's and any other
  // std::exception's what(). Empty where the result's own name says all (FailedResult, a
  // failure passed on; bad_alloc; invalid_argument; an exception of no known type).
  std::string description;
};

// The last failure resultFromCurrentException made on the calling thread, in this module: the
// abi is linked into each module, so the plug-in's record is its own, apart from the host's.
// Reading changes nothing.
FailureRecord lastFailure();

template <class Body>
HRESULT callGuarded(Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return resultFromCurrentException();
  }
}

// Runs one step; returns false when it failed (its error is dropped on purpose).
template <class Step>
bool runStep(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace notecast
