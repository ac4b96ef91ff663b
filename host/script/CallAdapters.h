#pragma once
// Turns the shapes of the plug-in's methods into script results, so each script call is one line
// in the runner's table. A failure result of the method throws FailedResult; the runner prints it.

#include <cstdint>

#include "abi/RuntimeError.h"
#include "host/script/CallResult.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {

template <class Interface>
using BooleanMethod = HRESULT (Interface::*)(VARIANT_BOOL*) noexcept;
template <class Interface>
using PlainMethod = HRESULT (Interface::*)() noexcept;
template <class Interface>
using NumberGetter = HRESULT (Interface::*)(std::int32_t*) noexcept;
template <class Interface>
using NumberSetter = HRESULT (Interface::*)(std::int32_t) noexcept;

template <class Interface>
CallResult callBoolean(Interface& object, BooleanMethod<Interface> method) {
  VARIANT_BOOL answer = VARIANT_FALSE;
  throwIfFailed((object.*method)(&answer));
  return {formatBoolean(answer), {}};
}

template <class Interface>
CallResult callPlain(Interface& object, PlainMethod<Interface> method) {
  throwIfFailed((object.*method)());
  return {std::string(kNoResult), {}};
}

template <class Interface>
CallResult getNumber(Interface& object, NumberGetter<Interface> method) {
  std::int32_t value = 0;
  throwIfFailed((object.*method)(&value));
  return {formatNumber(value), {}};
}

template <class Interface>
CallResult setNumber(Interface& object, NumberSetter<Interface> method, std::int32_t value) {
  throwIfFailed((object.*method)(value));
  return {std::string(kNoResult), {}};
}

}  // namespace notecast::host
