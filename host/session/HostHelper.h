#pragma once
// The helper object the host hands to the plug-in's Init. The plug-in keeps it and reads the
// open project through it late-bound (helper.Project.BaseFilename) whenever it needs the project.

#include <string>

#include "abi/ComObject.h"
#include "abi/IDispatchByName.h"
#include "host/session/HostProject.h"

namespace notecast::host {

class HostHelper final : public ComObject<HostHelper, IDispatchByName> {
 public:
  explicit HostHelper(std::string projectBase);

  // The project the plug-in sees from now on; the Project object stays the same one, only what
  // it answers changes. MUST be called on the user-interface thread.
  void setProjectBase(std::string projectBase);

  // "Project" (any case): the project object. Other names: E_INVALIDARG.
  HRESULT GetProperty(const std::string& name, Variant* value) noexcept override;

 private:
  ComPtr<HostProject> project_;
};

}  // namespace notecast::host
