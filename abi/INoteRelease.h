#pragma once
// Notes the plug-in left sounding, released: a note-on sent by the plug-in and not yet ended by
// a note-off of the same channel and note keeps sounding on the synthesizer until one comes. An
// optional interface of the plug-in object: a host asks for it with QueryInterface; a plug-in
// without it answers E_NOINTERFACE, and a host that does not turn release on sees the plug-in
// behave as one without it.
//
// Contract: the host's user-interface thread, after Init. put_NoteRelease(True) turns release on:
// from then on the plug-in sends a note-off (velocity 0) for each note it left sounding before
// its output closes or changes (Term, an unload of its window, another output chosen in the
// window or by LoadProjectData). ReleaseNotes sends them now, whether release is on or not, and
// tells how many went out. get_NotesReleased counts every note-off a release sent, for a host
// to tell what Term or a change of output released. E_POINTER for a null out-parameter.

#include <cstdint>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class INoteRelease : public IUnknown {
 public:
  static constexpr Iid iid{
      0x36985ab5, 0x795a, 0x4ce7, {0xbe, 0x47, 0xaa, 0x60, 0xb0, 0x8b, 0xce, 0xc9}};

  virtual HRESULT put_NoteRelease(VARIANT_BOOL on) noexcept = 0;
  virtual HRESULT ReleaseNotes(std::int32_t* released) noexcept = 0;
  virtual HRESULT get_NotesReleased(std::int64_t* total) noexcept = 0;

 protected:
  ~INoteRelease() = default;
};

}  // namespace notecast
