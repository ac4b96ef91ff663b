#include "plugin/PluginGlobals.h"

#include <memory>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/ModuleLock.h"
#include "abi/RuntimeError.h"
#include "core/BoxRequests.h"

namespace notecast {
namespace {

std::unique_ptr<Configfrm>& windowInstance() {
  static std::unique_ptr<Configfrm> instance;
  return instance;
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

Configfrm& PluginGlobals::window() {
  installTearDown(&PluginGlobals::tearDown);
  auto& instance = windowInstance();
  if (!instance) {
    instance = std::make_unique<Configfrm>();
    instance->setProjectBaseSource([] {
      const Variant& helper = PluginGlobals::helper();
      if (helper.isEmpty()) throw RuntimeError(ErrorNumber::ObjectNotSet);
      return lumo::readProjectBaseFilename(helper.asObject().get());
    });
  }
  return *instance;
}

bool PluginGlobals::hasWindow() noexcept {
  return windowInstance() != nullptr;
}

void PluginGlobals::setHelper(Variant helper) {
  installTearDown(&PluginGlobals::tearDown);
  helperReference() = std::move(helper);
}

const Variant& PluginGlobals::helper() noexcept {
  return helperReference();
}

bool PluginGlobals::isTornDown() noexcept {
  return !hasWindow() && helper().isEmpty();
}

void PluginGlobals::tearDown() noexcept {
  // The host's answerer is the host's to release with the plug-in.
  BoxRequests::setHostAnswerer(nullptr);
  // Move out first: releasing the helper calls into the host, which may call back.
  std::unique_ptr<Configfrm> window = std::move(windowInstance());
  if (window) window->unloadForTearDown();
  window.reset();
  Variant helper = std::move(helperReference());
  helperReference() = Variant();
}

}  // namespace notecast
