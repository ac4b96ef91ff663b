#pragma once
// The plug-in's own type library "Notecast": its class, ProgID, default interface and version.
// A host needs only these constants and the LumoTypeLib interfaces to use the plug-in.
//
// Shipped: the class id, the ProgID and _clsLumoPlugIn (iid and slots) MUST NOT change; a new
// capability is a new interface. A release changes only the version, which is the project's
// (abi/CMakeLists.txt).

#include <string>

#include "abi/Guid.h"
#include "abi/Unknown.h"

namespace notecast {

inline constexpr Clsid kClsidLumoPlugIn{
    0x0ce956f1, 0x475b, 0x48f4, {0xb9, 0xed, 0x43, 0xdb, 0x97, 0x2e, 0x72, 0x33}};
inline constexpr const char* kProgIdLumoPlugIn = "Notecast.clsLumoPlugIn";

inline constexpr const char* kTypeLibName = "Notecast";
inline constexpr const char* kTypeLibHelpString = "Connection between LumoStage and Raywell";
inline constexpr const char* kVersionText = NOTECAST_VERSION_RECORD;
inline constexpr unsigned kVersionMajor = NOTECAST_VERSION_MAJOR;
inline constexpr unsigned kVersionMinor = NOTECAST_VERSION_MINOR;
inline constexpr unsigned kVersionBuild = NOTECAST_VERSION_PATCH;

// The default interface of clsLumoPlugIn. get_PluginName: E_POINTER for a null name.
class _clsLumoPlugIn : public IUnknown {
 public:
  static constexpr Iid iid{
      0xa8f9322a, 0x3331, 0x44e8, {0xa0, 0xe8, 0x2d, 0x96, 0xc3, 0xc1, 0x78, 0xeb}};

  virtual HRESULT get_PluginName(std::string* name) noexcept = 0;

 protected:
  ~_clsLumoPlugIn() = default;
};

}  // namespace notecast
