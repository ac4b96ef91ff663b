#pragma once
// The host's type library as both sides link it: the creators of the host classes that a
// plug-in fills (module information, option list) and the late-bound calls on the host's helper.
//
// These classes live in the shared library libLumoTypeLib.so, which the host links, so objects a
// plug-in created stay valid after the plug-in library is unloaded.

#include <string>

#include "plugin/LumoTypeLib/ICommandServer.h"
#include "plugin/LumoTypeLib/IExternalWindow.h"
#include "plugin/LumoTypeLib/ILumoModule.h"
#include "plugin/LumoTypeLib/ILumoPlugin.h"
#include "plugin/LumoTypeLib/ILumoTool.h"
#include "plugin/LumoTypeLib/IModuleInformation.h"
#include "plugin/LumoTypeLib/IOptionList.h"

#define LUMO_EXPORT __attribute__((visibility("default")))

extern "C" {
// Each creates a new, empty object and hands the caller its first reference.
LUMO_EXPORT notecast::HRESULT LumoCreateModuleInformation(lumo::IModuleInformation** info) noexcept;
LUMO_EXPORT notecast::HRESULT LumoCreateOptionList(lumo::IOptionList** list) noexcept;
}

namespace lumo {

// Names of the helper's late-bound members: helper.Project.BaseFilename.
inline constexpr const char* kHelperProject = "Project";
inline constexpr const char* kProjectBaseFilename = "BaseFilename";

// helper.Project.BaseFilename, read by name. Throws a run-time error when the helper is not set
// or a member is missing.
LUMO_EXPORT std::string readProjectBaseFilename(IUnknown* helper);

}  // namespace lumo
