#pragma once
// The plug-in object the host creates: identity, module information, the host's helper, and the
// routes from host calls to the core and the window. It keeps no state of its own; what it
// holds lives in PluginGlobals, shared by every instance.

#include "abi/ComObject.h"
#include "abi/IBoxRequests.h"
#include "abi/IClientName.h"
#include "abi/IEntryList.h"
#include "abi/IEventCount.h"
#include "abi/IEventFileCheck.h"
#include "abi/IFailureDescription.h"
#include "abi/INoteRelease.h"
#include "abi/IOutputChoice.h"
#include "abi/IOutputDetails.h"
#include "abi/IOutputStatus.h"
#include "abi/IProjectReload.h"
#include "abi/LumoTypeLib/ILumoModule.h"
#include "abi/LumoTypeLib/ILumoPlugin.h"
#include "abi/NotecastClasses.h"

namespace notecast {

class clsLumoPlugIn final
    : public ComObject<clsLumoPlugIn, _clsLumoPlugIn, lumo::ILumoPlugin, lumo::ILumoModule,
                       IOutputStatus, IOutputChoice, IEventFileCheck, IEventCount, IOutputDetails,
                       IFailureDescription, IBoxRequests, IProjectReload, INoteRelease, IClientName,
                       IEntryList> {
 public:
  // _clsLumoPlugIn and ILumoPlugin
  HRESULT get_PluginName(std::string* name) noexcept override;

  // ILumoPlugin
  HRESULT Disable(VARIANT_BOOL* result) noexcept override;
  HRESULT Enable(VARIANT_BOOL* result) noexcept override;
  HRESULT Configure(VARIANT_BOOL* result) noexcept override;
  HRESULT Init(const std::string& CallingAppTitle, const std::string& MyFilename,
               IUnknown* LumoPluginHelper, VARIANT_BOOL* result) noexcept override;
  HRESULT MessageHandle(std::int32_t* Msg, std::int32_t* Arg1, std::int32_t* Arg2,
                        std::int32_t* result) noexcept override;
  HRESULT Term(VARIANT_BOOL* result) noexcept override;

  // ILumoModule
  HRESULT get_ModuleInfo(lumo::IModuleInformation** info) noexcept override;

  // IOutputStatus (clsLumoPlugInStatus.cpp)
  HRESULT get_OutputName(std::string* name) noexcept override;
  HRESULT get_OutputState(std::int32_t* state) noexcept override;
  HRESULT get_MessagesSent(std::int64_t* count) noexcept override;
  HRESULT get_MessagesNotSent(std::int64_t* count) noexcept override;
  HRESULT get_RecentMessages(std::string* lines) noexcept override;

  // IEventCount (clsLumoPlugInStatus.cpp)
  HRESULT get_EventCount(std::int32_t* count) noexcept override;

  // IOutputChoice (clsLumoPlugInChoice.cpp)
  HRESULT put_RunOutput(const char* name) noexcept override;
  HRESULT put_KeptConnections(const char* const* ports, std::int32_t count) noexcept override;

  // IClientName (clsLumoPlugInChoice.cpp)
  HRESULT put_ClientName(const char* name) noexcept override;
  HRESULT get_OwnPort(std::string* port) noexcept override;

  // IEventFileCheck (clsLumoPlugInEventFile.cpp)
  HRESULT get_EventFilePath(const char* projectBase, std::string* path) noexcept override;
  HRESULT CheckEventFile(const char* projectBase, std::string* problem) noexcept override;

  // IProjectReload (clsLumoPlugInEventFile.cpp)
  HRESULT ReloadProject(std::string* problem, std::int32_t* events) noexcept override;

  // IOutputDetails (clsLumoPlugInDetails.cpp)
  HRESULT get_OutputList(std::string* lines) noexcept override;
  HRESULT get_ConnectionStates(std::string* lines) noexcept override;
  HRESULT put_MessageSink(IMessageSink* sink) noexcept override;
  HRESULT put_OutputAdvice(const char* sentence) noexcept override;

  // IFailureDescription (clsLumoPlugInFailure.cpp)
  HRESULT get_FailureDescription(HRESULT result, std::string* description) noexcept override;

  // INoteRelease (clsLumoPlugInNotes.cpp)
  HRESULT put_NoteRelease(VARIANT_BOOL on) noexcept override;
  HRESULT ReleaseNotes(std::int32_t* released) noexcept override;
  HRESULT get_NotesReleased(std::int64_t* total) noexcept override;

  // IEntryList (clsLumoPlugInEntries.cpp)
  HRESULT get_EntryListRevision(std::int64_t* revision) noexcept override;
  HRESULT get_EntryLines(std::int32_t first, std::int32_t count,
                         std::string* lines) noexcept override;

  // IBoxRequests (clsLumoPlugInBoxes.cpp)
  HRESULT put_BoxAnswerer(IBoxAnswerer* answerer) noexcept override;

  static constexpr const char* kPluginName = "Notecast Plugin";
};

}  // namespace notecast
