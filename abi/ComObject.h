#pragma once
// Implements IUnknown for a class that offers one or more interfaces:
//
//   class Thing final : public ComObject<Thing, IFirst, ISecond> { ... };
//   ComPtr<IFirst> thing = makeComObject<Thing>(args...);
//
// The reference count is atomic and starts at 1 (the creator's reference). Every live object is
// counted in its module's ModuleLock, so the library stays loaded while any object lives.
// IUnknown identity is the first listed interface.
//
// An object MUST live on the heap (makeComObject) and MUST NOT be deleted but by its last Release:
// the destructor is protected for that.

#include <atomic>
#include <type_traits>
#include <utility>

#include "abi/ComPtr.h"
#include "abi/ModuleLock.h"

namespace notecast {

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT QueryInterface(const Iid& iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IUnknown::iid) {
      *object = static_cast<IUnknown*>(static_cast<First*>(this));
    } else if (!findInterface<First, Rest...>(iid, object)) {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  std::uint32_t AddRef() noexcept override { return ++references_; }
  std::uint32_t Release() noexcept override {
    const std::uint32_t left = --references_;
    if (left == 0) delete static_cast<Derived*>(this);
    return left;
  }

 protected:
  ComObject() noexcept { ModuleLock::objectCreated(); }
  virtual ~ComObject() { ModuleLock::objectDestroyed(); }

 private:
  template <class Interface, class... Others>
  bool findInterface(const Iid& iid, void** object) noexcept {
    if (iid == Interface::iid) {
      *object = static_cast<Interface*>(this);
      return true;
    }
    if constexpr (sizeof...(Others) > 0) return findInterface<Others...>(iid, object);
    return false;
  }

  std::atomic<std::uint32_t> references_{1};
};

// Creates an object and adopts its first reference.
template <class Object, class... Args>
ComPtr<Object> makeComObject(Args&&... args) {
  return ComPtr<Object>::adopt(new Object(std::forward<Args>(args)...));
}

}  // namespace notecast
