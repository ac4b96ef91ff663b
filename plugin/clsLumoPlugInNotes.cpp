// The plug-in object's note release: handed to the core, which tracks the notes its output left
// sounding.

#include "abi/Boundary.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {

HRESULT clsLumoPlugIn::put_NoteRelease(VARIANT_BOOL on) noexcept {
  return callGuarded([&] { PluginGlobals::core().setNoteRelease(on != VARIANT_FALSE); });
}

HRESULT clsLumoPlugIn::ReleaseNotes(std::int32_t* released) noexcept {
  if (!released) return E_POINTER;
  *released = 0;
  return callGuarded([&] { *released = PluginGlobals::core().releaseNotes(); });
}

HRESULT clsLumoPlugIn::get_NotesReleased(std::int64_t* total) noexcept {
  if (!total) return E_POINTER;
  return callGuarded([&] { *total = PluginGlobals::core().notesReleased(); });
}

}  // namespace notecast
