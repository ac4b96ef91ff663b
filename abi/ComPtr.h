#pragma once
// Owning pointer to a reference-counted interface.
//   ComPtr<I>::adopt(p)  takes over a reference the caller already owns (a new object, an
//                        out-parameter filled by a call);
//   ComPtr<I>::share(p)  adds a reference of its own.
// A ComPtr releases its reference when it goes: adopt MUST NOT be given a borrowed pointer, or the
// object is released once too often.

#include <utility>

#include "abi/Unknown.h"

namespace notecast {

template <class Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}

  static ComPtr adopt(Interface* object) noexcept {
    ComPtr result;
    result.object_ = object;
    return result;
  }
  static ComPtr share(Interface* object) noexcept {
    if (object) object->AddRef();
    return adopt(object);
  }

  ComPtr(const ComPtr& other) noexcept : object_(other.object_) {
    if (object_) object_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  template <class Derived>
  ComPtr(ComPtr<Derived> other) noexcept : object_(other.detach()) {}

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ComPtr() { reset(); }

  void reset() noexcept {
    if (Interface* old = std::exchange(object_, nullptr)) old->Release();
  }
  // Gives up ownership of the reference without releasing it.
  Interface* detach() noexcept { return std::exchange(object_, nullptr); }

  // Out-parameter form for calls that return an added reference: call(ptr.put()).
  Interface** put() noexcept {
    reset();
    return &object_;
  }
  void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

  // Asks the object for another of its interfaces; null when it has none.
  template <class Other>
  ComPtr<Other> query() const noexcept {
    ComPtr<Other> result;
    if (object_) object_->QueryInterface(Other::iid, result.putVoid());
    return result;
  }

  Interface* get() const noexcept { return object_; }
  Interface* operator->() const noexcept { return object_; }
  Interface& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

 private:
  Interface* object_ = nullptr;
};

template <class A, class B>
bool operator==(const ComPtr<A>& a, const ComPtr<B>& b) noexcept {
  return static_cast<const void*>(a.get()) == static_cast<const void*>(b.get());
}

// Same object, whatever interfaces the two pointers are: compares their IUnknown identities.
template <class A, class B>
bool sameObject(A* a, B* b) noexcept {
  if (!a || !b) return !a && !b;
  const auto identityA = ComPtr<A>::share(a).template query<IUnknown>();
  const auto identityB = ComPtr<B>::share(b).template query<IUnknown>();
  return identityA.get() == identityB.get();
}

}  // namespace notecast
