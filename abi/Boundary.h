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

#include "abi/HResult.h"
#include "abi/RuntimeError.h"

namespace notecast {

// Maps the exception in flight to a failure result. MUST be called inside a catch block.
// RuntimeError -> 0x800A0000 | number, FailedResult -> its result, NotImplemented -> E_NOTIMPL,
// bad_alloc -> E_OUTOFMEMORY, invalid_argument -> E_INVALIDARG, others -> E_FAIL / E_UNEXPECTED.
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
