#pragma once
// A small variant, the values that cross the plug-in boundary untyped: empty, 16- and 32-bit
// integers, single-precision real, string (UTF-8), an object, and a collection of integers.
//
// Host and plug-in share this type by value, so both MUST be built with the same C++ standard
// library; the project builds both together.
//
// An object or collection value is a counted reference of the Variant's own: a copy adds one and
// destruction releases it, so a Variant holding a plug-in object keeps the plug-in library loaded.
// A Variant* out-parameter is overwritten, its old value released.

#include <cstdint>
#include <string>
#include <variant>

#include "abi/ComPtr.h"
#include "abi/IIntegerCollection.h"

namespace notecast {

class Variant {
 public:
  enum class Kind { Empty, Int16, Int32, Single, String, Object, IntegerCollection };

  Variant() = default;
  static Variant fromInt16(std::int16_t value);
  static Variant fromInt32(std::int32_t value);
  static Variant fromSingle(float value);
  static Variant fromString(std::string value);
  static Variant fromObject(ComPtr<IUnknown> object);
  static Variant fromCollection(ComPtr<IIntegerCollection> collection);

  Kind kind() const noexcept { return static_cast<Kind>(value_.index()); }
  bool isEmpty() const noexcept { return kind() == Kind::Empty; }

  // Typed reads: the value when the kind matches, else a type mismatch (RuntimeError 13).
  std::int16_t asInt16() const;
  std::int32_t asInt32() const;  // also accepts Int16
  float asSingle() const;
  const std::string& asString() const;
  ComPtr<IUnknown> asObject() const;
  ComPtr<IIntegerCollection> asCollection() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, std::int16_t, std::int32_t, float, std::string, ComPtr<IUnknown>,
               ComPtr<IIntegerCollection>>
      value_;
};

}  // namespace notecast
