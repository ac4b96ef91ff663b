#pragma once
// The plug-in's message boxes, answered by the host. A host that runs unattended (a bridge in a
// rack, a script, a listing of outputs) gives the plug-in an answerer through IBoxRequests, an
// optional interface of the plug-in object: every box the plug-in would show is asked of the
// answerer instead, and nothing waits for a person. A host that gives none, and a plug-in
// without the interface, show real modal boxes, as a lighting host expects.
//
// Contract: every call on the host's user-interface thread. The host keeps the answerer alive
// until it hands over another or null, or releases the plug-in.

#include <cstdint>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

enum class BoxButtons : std::int32_t { Ok = 0, YesNoCancel = 1 };
enum class BoxIcon : std::int32_t {
  None = 0,
  Information = 1,
  Question = 2,
  Warning = 3,
  Critical = 4
};
enum class BoxAnswer : std::int32_t { Ok = 0, Yes = 1, No = 2, Cancel = 3 };

class IBoxAnswerer {
 public:
  // The box titled `title` saying `text` (UTF-8, lines broken by '\n'), with `buttons`, `icon`
  // and `defaultAnswer`, one of its buttons: the button pressed, one the box has. MUST return
  // without waiting for a person, and MUST NOT call the plug-in.
  virtual BoxAnswer AnswerBox(const char* title, const char* text, BoxButtons buttons, BoxIcon icon,
                              BoxAnswer defaultAnswer) noexcept = 0;

 protected:
  ~IBoxAnswerer() = default;
};

class IBoxRequests : public IUnknown {
 public:
  static constexpr Iid iid{
      0x5f0c2d4e, 0x8a3b, 0x4c71, {0x9e, 0x21, 0x6b, 0xd4, 0x07, 0x93, 0xa5, 0x18}};

  // The answerer of every box from now on, replacing any earlier one; null: real boxes again.
  virtual HRESULT put_BoxAnswerer(IBoxAnswerer* answerer) noexcept = 0;

 protected:
  ~IBoxRequests() = default;
};

}  // namespace notecast
