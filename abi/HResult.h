#pragma once
// Result codes of every call across the plug-in boundary, and the 16-bit COM Boolean.
//
// Contract:
//  - A failure has the top bit set: callers MUST test with SUCCEEDED / FAILED, not against S_OK
//    (S_FALSE is a success), except where a method gives S_FALSE a meaning of its own.
//  - Methods answer E_POINTER for a null out-parameter they need, E_NOTIMPL for what this
//    version does not build, and 0x800A0000 | n for the plug-in's run-time error n.
//  - A code's value and meaning never change.
//  - VARIANT_BOOL: an implementation MUST answer VARIANT_TRUE (-1) for True; a caller MUST take
//    any non-zero value as True.

#include <cstdint>
#include <string>

namespace notecast {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);

// Run-time errors of the plug-in travel to the host as 0x800A0000 | error number.
constexpr std::uint32_t kRuntimeErrorFacility = 0x800A0000u;

constexpr bool SUCCEEDED(HRESULT hr) {
  return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
  return hr < 0;
}

// A readable meaning of a result for people ("subscript out of range", "not implemented", ...).
std::string describeResult(HRESULT hr);

using VARIANT_BOOL = std::int16_t;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr VARIANT_BOOL toVariantBool(bool value) {
  return value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace notecast
