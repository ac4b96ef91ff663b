#include "abi/Variant.h"

#include "abi/IDispatchByName.h"
#include "abi/RuntimeError.h"

namespace notecast {
namespace {

template <class T, class Storage>
const T& expect(const Storage& value) {
  if (const T* held = std::get_if<T>(&value)) return *held;
  throw RuntimeError(ErrorNumber::TypeMismatch);
}

}  // namespace

Variant Variant::fromInt16(std::int16_t value) {
  Variant v;
  v.value_ = value;
  return v;
}
Variant Variant::fromInt32(std::int32_t value) {
  Variant v;
  v.value_ = value;
  return v;
}
Variant Variant::fromSingle(float value) {
  Variant v;
  v.value_ = value;
  return v;
}
Variant Variant::fromString(std::string value) {
  Variant v;
  v.value_ = std::move(value);
  return v;
}
Variant Variant::fromObject(ComPtr<IUnknown> object) {
  Variant v;
  v.value_ = std::move(object);
  return v;
}
Variant Variant::fromCollection(ComPtr<IIntegerCollection> collection) {
  Variant v;
  v.value_ = std::move(collection);
  return v;
}

std::int16_t Variant::asInt16() const {
  return expect<std::int16_t>(value_);
}
std::int32_t Variant::asInt32() const {
  if (const auto* narrow = std::get_if<std::int16_t>(&value_)) return *narrow;
  return expect<std::int32_t>(value_);
}
float Variant::asSingle() const {
  return expect<float>(value_);
}
const std::string& Variant::asString() const {
  return expect<std::string>(value_);
}
ComPtr<IUnknown> Variant::asObject() const {
  return expect<ComPtr<IUnknown>>(value_);
}
ComPtr<IIntegerCollection> Variant::asCollection() const {
  return expect<ComPtr<IIntegerCollection>>(value_);
}

Variant getPropertyByName(IUnknown* object, const std::string& name) {
  if (!object) throw RuntimeError(ErrorNumber::ObjectNotSet);
  ComPtr<IDispatchByName> late;
  if (FAILED(object->QueryInterface(IDispatchByName::iid, late.putVoid())))
    throw RuntimeError(ErrorNumber::NoSuchMember);
  Variant value;
  const HRESULT hr = late->GetProperty(name, &value);
  if (hr == E_INVALIDARG) throw RuntimeError(ErrorNumber::NoSuchMember);
  throwIfFailed(hr);
  return value;
}

}  // namespace notecast
