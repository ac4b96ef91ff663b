#pragma once
// The project data operations of the configuration window, called by the host together with its
// own project: clear, load, save, and ask whether unsaved changes should be saved. Reached by
// QueryInterface on the Window of the module information record.
//
// Contract: every call on the host's user-interface thread, after Init: the window finds the
// project's event file through the helper Init gave (helper.Project.BaseFilename), and loading it
// without one fails with run-time error 91. A failure comes back as 0x800A0000 | n. The host
// defines this interface and never changes it; a new capability is a new interface.

#include <cstdint>

#include "abi/HResult.h"
#include "abi/Unknown.h"

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
  // 0x800A004B (75) when the file cannot be written; the old file then stays as it was.
  virtual HRESULT SaveProjectData() noexcept = 0;
  // Asks the user when there are unsaved changes. *result True means the user cancelled (or the
  // save after Yes failed): the host MUST then keep its project open.
  virtual HRESULT AskToSaveProjectData(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT put_ViewMode(std::int32_t RHS) noexcept = 0;

 protected:
  ~ILumoTool() = default;
};

}  // namespace lumo
