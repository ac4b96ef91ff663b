#pragma once
// What Qt needs in the environment before the host creates its QApplication: a platform that works
// without a display unless real windows are wanted, and a private runtime directory.

namespace notecast::host {

// Unless `show`, selects the offscreen platform when none is chosen; creates the runtime
// directory (mode 700) when it is missing, choosing one when none is set. MUST run before the
// QApplication exists.
void prepareQtEnvironment(bool show);

}  // namespace notecast::host
