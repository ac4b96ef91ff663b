#include "plugin/clsLumoPlugIn.h"

#include "abi/Boundary.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "plugin/LumoNotecast.h"
#include "plugin/ModuleInfoRecord.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsCommands.h"

namespace notecast {
namespace {

// Runs `body` for a Boolean host call: on success *result is `answer`, on failure False.
template <class Body>
HRESULT booleanCall(VARIANT_BOOL* result, bool answer, Body&& body) noexcept {
  if (result) *result = VARIANT_FALSE;
  const HRESULT hr = callGuarded(std::forward<Body>(body));
  if (SUCCEEDED(hr) && result) *result = toVariantBool(answer);
  return hr;
}

ComPtr<lumo::IModuleInformation> buildModuleInformation() {
  namespace mi = module_info;
  ComPtr<lumo::IModuleInformation> info;
  throwIfFailed(LumoCreateModuleInformation(info.put()));
  throwIfFailed(info->put_ModuleId(mi::kModuleId));
  throwIfFailed(info->put_ModuleName(mi::kModuleName));
  throwIfFailed(info->put_Description(mi::kDescription));
  throwIfFailed(info->put_Author(mi::kAuthor));
  throwIfFailed(info->put_Setting5(mi::kSetting5));
  throwIfFailed(info->put_Setting6(mi::kSetting6));
  throwIfFailed(info->put_Setting7(mi::kSetting7));
  throwIfFailed(info->put_WindowClassName(mi::kWindowClassName));
  throwIfFailed(info->putref_Window(static_cast<lumo::ILumoTool*>(&PluginGlobals::hostWindow())));
  throwIfFailed(info->put_Setting10(mi::kSetting10));
  auto commands =
      makeComObject<clsCommands>([]() -> CommandTarget& { return PluginGlobals::core(); });
  throwIfFailed(info->putref_CommandServer(commands.get()));
  throwIfFailed(info->put_Setting12(mi::kSetting12));
  throwIfFailed(info->put_Setting13(mi::kSetting13));
  throwIfFailed(info->put_Setting14(mi::kSetting14));
  ComPtr<IIntegerCollection> codes;
  throwIfFailed(info->get_MessageCodes(codes.put()));
  for (const std::int32_t code : mi::kMessageCodes) throwIfFailed(codes->Add(code));
  return info;
}

}  // namespace

HRESULT clsLumoPlugIn::get_PluginName(std::string* name) noexcept {
  if (!name) return E_POINTER;
  return callGuarded([&] { *name = kPluginName; });
}

HRESULT clsLumoPlugIn::Disable(VARIANT_BOOL* result) noexcept {
  // Answers False although it succeeds: the host expects it so.
  return booleanCall(result, false, [] { PluginGlobals::hostWindow().hideThenUnload(); });
}

HRESULT clsLumoPlugIn::Enable(VARIANT_BOOL* result) noexcept {
  return booleanCall(result, true, [] {});
}

HRESULT clsLumoPlugIn::Configure(VARIANT_BOOL* result) noexcept {
  return booleanCall(result, true, [] { PluginGlobals::hostWindow().configureFromHost(); });
}

HRESULT clsLumoPlugIn::Init(const std::string& /*CallingAppTitle*/,
                            const std::string& /*MyFilename*/, IUnknown* LumoPluginHelper,
                            VARIANT_BOOL* result) noexcept {
  return booleanCall(result, true, [&] {
    PluginGlobals::setHelper(Variant::fromObject(ComPtr<IUnknown>::share(LumoPluginHelper)));
  });
}

HRESULT clsLumoPlugIn::MessageHandle(std::int32_t* Msg, std::int32_t* Arg1, std::int32_t* Arg2,
                                     std::int32_t* result) noexcept {
  if (result) *result = 0;
  if (!Msg || !Arg1 || !Arg2) return E_POINTER;
  if (*Msg != lumo::kMessageChannelValue) return S_OK;
  return callGuarded([&] { channelValueHandler(*Arg1, *Arg2); });
}

HRESULT clsLumoPlugIn::Term(VARIANT_BOOL* result) noexcept {
  return booleanCall(result, true, [] { PluginGlobals::hostWindow().hideThenCloseDevice(); });
}

HRESULT clsLumoPlugIn::get_ModuleInfo(lumo::IModuleInformation** info) noexcept {
  if (!info) return E_POINTER;
  *info = nullptr;
  return callGuarded([&] { *info = buildModuleInformation().detach(); });
}

}  // namespace notecast
