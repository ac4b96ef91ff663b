#pragma once
// The window's real message box: modal, answered by a person. Boxes are asked through
// BoxRequests, which comes here only while the host gives no answerer of its own.
// User-interface thread only.

#include "core/BoxRequests.h"

namespace notecast {

// Shows the box modally and returns the pressed button; closing the box (Escape, the frame's
// close button) answers Cancel where the box has one, otherwise OK.
BoxAnswer showMessageBox(const BoxRequest& request);

}  // namespace notecast
