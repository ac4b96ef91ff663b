#pragma once
// The project data operations of the configuration window, called by the host together with its
// own project: clear, load, save, and ask whether unsaved changes should be saved.

#include <cstdint>

#include "platform/HResult.h"
#include "platform/Unknown.h"

namespace lumo {

using notecast::HRESULT;
using notecast::Iid;
using notecast::IUnknown;
using notecast::VARIANT_BOOL;

class ILumoTool : public IUnknown {
 public:
  static constexpr Iid iid{
      0xee8bc4f2, 0x385d, 0x4d4e, {0x9b, 0x5e, 0x59, 0xd3, 0x9a, 0x15, 0xa3, 0xb0}};

  virtual HRESULT ClearProjectData() noexcept = 0;
  virtual HRESULT LoadProjectData() noexcept = 0;
  virtual HRESULT SaveProjectData() noexcept = 0;
  virtual HRESULT AskToSaveProjectData(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT put_ViewMode(std::int32_t RHS) noexcept = 0;

 protected:
  ~ILumoTool() = default;
};

}  // namespace lumo
