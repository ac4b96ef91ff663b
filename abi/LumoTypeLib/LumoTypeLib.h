#pragma once
// The host's type library as both sides link it: the creators of the host classes that a
// plug-in fills (module information, option list) and the late-bound calls on the host's helper.
//
// These classes live in the shared library libLumoTypeLib.so, which the host links, so objects a
// plug-in created stay valid after the plug-in library is unloaded; libLumoTypeLib.so itself MUST
// stay loaded for the whole process. Every call on the host's user-interface thread.

#include <string>

#include "abi/LumoTypeLib/ICommandServer.h"
#include "abi/LumoTypeLib/IExternalWindow.h"
#include "abi/LumoTypeLib/ILumoModule.h"
#include "abi/LumoTypeLib/ILumoPlugin.h"
#include "abi/LumoTypeLib/ILumoTool.h"
#include "abi/LumoTypeLib/IModuleInformation.h"
#include "abi/LumoTypeLib/IOptionList.h"

#define LUMO_EXPORT __attribute__((visibility("default")))

extern "C" {
// Each creates a new, empty object and hands the caller its first reference, which the caller
// owns and MUST Release. *out is null on failure; E_POINTER for a null out-pointer.
LUMO_EXPORT notecast::HRESULT LumoCreateModuleInformation(lumo::IModuleInformation** info) noexcept;
LUMO_EXPORT notecast::HRESULT LumoCreateOptionList(lumo::IOptionList** list) noexcept;
}

namespace lumo {

// Names of the helper's late-bound members: helper.Project.BaseFilename.
inline constexpr const char* kHelperProject = "Project";
inline constexpr const char* kProjectBaseFilename = "BaseFilename";

// helper.Project.BaseFilename, read by name. Throws a run-time error when the helper is not set
// or a member is missing, so it MUST run inside a guarded body (abi/Boundary.h).
LUMO_EXPORT std::string readProjectBaseFilename(IUnknown* helper);

}  // namespace lumo
