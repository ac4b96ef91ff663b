#pragma once
// The two ways an error is handled inside the plug-in:
//  - callGuarded: every method of an interface is a thin noexcept wrapper around its body; any
//    exception becomes a failure result, so nothing ever throws across the boundary.
//  - runStep: steps that must each run on their own (loading or saving a file key by key,
//    editing handlers) swallow their own failure and let the next step run.

#include <exception>
#include <new>

#include "platform/HResult.h"
#include "platform/RuntimeError.h"

namespace notecast {

// Maps the exception in flight to a failure result. MUST be called inside a catch block.
HRESULT resultFromCurrentException() noexcept;

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
