#pragma once
// The host's helper object, as a plug-in test needs it: answers helper.Project.BaseFilename
// and says when its last reference went away. It belongs to the host, so it is not counted among
// the plug-in's live objects (in these tests both live in one program).

#include <string>

#include "abi/IDispatchByName.h"
#include "abi/Variant.h"

namespace notecast::testing {

class FakeHelper final : public IDispatchByName {
 public:
  // `released` (may be null) becomes true when the last reference goes.
  static ComPtr<IUnknown> create(std::string property, std::string value, bool* released = nullptr,
                                 ComPtr<IUnknown> child = nullptr) {
    auto* helper =
        new FakeHelper(std::move(property), std::move(value), released, std::move(child));
    return ComPtr<IUnknown>::adopt(helper);
  }
  // helper.Project.BaseFilename == base
  static ComPtr<IUnknown> withProject(const std::string& base, bool* released = nullptr) {
    return create("Project", "", released, create("BaseFilename", base));
  }

  HRESULT QueryInterface(const Iid& iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!(iid == IUnknown::iid) && !(iid == IDispatchByName::iid)) return E_NOINTERFACE;
    *object = static_cast<IDispatchByName*>(this);
    AddRef();
    return S_OK;
  }
  std::uint32_t AddRef() noexcept override { return ++references_; }
  std::uint32_t Release() noexcept override {
    const std::uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetProperty(const std::string& name, Variant* value) noexcept override {
    if (name != property_) return E_INVALIDARG;
    *value = child_ ? Variant::fromObject(child_) : Variant::fromString(value_);
    return S_OK;
  }

 private:
  FakeHelper(std::string property, std::string value, bool* released, ComPtr<IUnknown> child)
      : property_(std::move(property)),
        value_(std::move(value)),
        released_(released),
        child_(std::move(child)) {}
  ~FakeHelper() {
    if (released_) *released_ = true;
  }

  std::string property_, value_;
  bool* released_;
  ComPtr<IUnknown> child_;
  std::uint32_t references_ = 1;
};

}  // namespace notecast::testing
