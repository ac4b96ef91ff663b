#pragma once
// The host's open project as the plug-in reads it late-bound: helper.Project.BaseFilename, the
// path of the project without its extension (the plug-in adds its own). Empty when no project is
// open.

#include <string>

#include "abi/ComObject.h"
#include "abi/IDispatchByName.h"

namespace notecast::host {

class HostProject final : public ComObject<HostProject, IDispatchByName> {
 public:
  explicit HostProject(std::string baseFilename);

  // Takes effect for every later read. MUST be called on the user-interface thread.
  void setBaseFilename(std::string baseFilename);

  // "BaseFilename" (any case): the base as a string. Other names: E_INVALIDARG.
  HRESULT GetProperty(const std::string& name, Variant* value) noexcept override;

 private:
  std::string baseFilename_;
};

}  // namespace notecast::host
