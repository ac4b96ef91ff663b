#include "plugin/PluginGlobals.h"

#include <memory>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/ModuleLock.h"
#include "abi/RuntimeError.h"
#include "core/BoxRequests.h"
#include "window/MessageBox.h"

namespace notecast {
namespace {

struct Instances {
  std::unique_ptr<PluginCore> core;
  std::unique_ptr<Configfrm> window;
  std::unique_ptr<HostWindow> hostWindow;
};

Instances& instances() {
  static Instances held;
  return held;
}

Variant& helperReference() {
  static Variant helper;
  return helper;
}

void installTearDown(void (*tearDown)()) {
  static const bool installed = [tearDown] {
    ModuleLock::setIdleHook(tearDown);
    return true;
  }();
  (void)installed;
}

}  // namespace

// The plug-in shows its boxes as real modal boxes while the host gives no answerer of its own.
PluginCore& PluginGlobals::core() {
  installTearDown(&PluginGlobals::tearDown);
  auto& core = instances().core;
  if (!core) {
    core = std::make_unique<PluginCore>();
    core->setProjectBaseSource([] {
      const Variant& helper = PluginGlobals::helper();
      if (helper.isEmpty()) throw RuntimeError(ErrorNumber::ObjectNotSet);
      return lumo::readProjectBaseFilename(helper.asObject().get());
    });
    core->setLoadListener([] { PluginGlobals::window().makeControlsWhereShown(); });
    BoxRequests::setWindowBox(&showMessageBox);
  }
  return *core;
}

HostWindow& PluginGlobals::hostWindow() {
  auto& hostWindow = instances().hostWindow;
  if (!hostWindow) {
    hostWindow = std::make_unique<HostWindow>(
        core(), []() -> Configfrm& { return PluginGlobals::window(); },
        [] { return PluginGlobals::hasWindow(); });
  }
  return *hostWindow;
}

Configfrm& PluginGlobals::window() {
  auto& window = instances().window;
  if (!window) window = std::make_unique<Configfrm>(core());
  return *window;
}

bool PluginGlobals::hasWindow() noexcept {
  return instances().window != nullptr;
}

void PluginGlobals::setHelper(Variant helper) {
  installTearDown(&PluginGlobals::tearDown);
  helperReference() = std::move(helper);
}

const Variant& PluginGlobals::helper() noexcept {
  return helperReference();
}

bool PluginGlobals::isTornDown() noexcept {
  return !instances().core && helper().isEmpty();
}

void PluginGlobals::tearDown() noexcept {
  // The host's answerer is the host's to release with the plug-in.
  BoxRequests::setHostAnswerer(nullptr);
  BoxRequests::setWindowBox({});
  // Move out first: releasing the helper calls into the host, which may call back.
  Instances held = std::move(instances());
  instances() = {};
  if (held.core) held.core->unload();
  held.hostWindow.reset();
  held.window.reset();
  held.core.reset();
  Variant helper = std::move(helperReference());
  helperReference() = Variant();
}

}  // namespace notecast
