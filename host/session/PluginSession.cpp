#include "host/session/PluginSession.h"

#include <QCoreApplication>
#include <QEvent>
#include <iostream>

#include "host/session/HostError.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {

PluginSession::PluginSession(const std::string& libraryPath, const Clsid& clsid,
                             std::string projectBase)
    : library_(libraryPath), helper_(makeComObject<HostHelper>(std::move(projectBase))) {
  ComPtr<IClassFactory> factory = library_.classFactory(clsid);
  const HRESULT result =
      factory->CreateInstance(nullptr, lumo::ILumoPlugin::iid, plugin_.putVoid());
  if (FAILED(result) || !plugin_) {
    throw HostError("cannot create the plug-in object of " + library_.path() + ": " +
                    explainFailure(FAILED(result) ? result : E_POINTER));
  }
}

PluginSession::~PluginSession() {
  close();
}

HRESULT PluginSession::init(VARIANT_BOOL* result) {
  return plugin_->Init(kHostTitle, library_.path(), helper_.get(), result);
}

ComPtr<lumo::IModuleInformation> PluginSession::fetchModuleInfo() {
  // ModuleInfo belongs to the plug-in object's module interface.
  const ComPtr<lumo::ILumoModule> module = plugin_.query<lumo::ILumoModule>();
  if (!module) throw FailedResult(E_NOINTERFACE);
  KeptModuleInfo fetched;
  throwIfFailed(module->get_ModuleInfo(fetched.record.put()));
  if (!fetched.record) throw FailedResult(E_POINTER);
  // A record without a window or command server is valid; calls on them then fail on their own.
  fetched.record->get_Window(fetched.window.put());
  ComPtr<lumo::ICommandServer> commandServer;
  fetched.record->get_CommandServer(commandServer.put());
  fetched.commandServer = std::move(commandServer);
  moduleInfo_ = std::move(fetched);
  return moduleInfo_.record;
}

const PluginSession::KeptModuleInfo& PluginSession::keptModuleInfo() {
  if (!moduleInfo_.record) fetchModuleInfo();
  return moduleInfo_;
}

bool PluginSession::answerBoxes(std::ostream& out, HostBoxAnswerer::Lines lines) {
  if (!boxAnswerer_) boxAnswerer_ = std::make_unique<HostBoxAnswerer>(out, lines);
  return boxAnswerer_->offerTo(*plugin_);
}

void PluginSession::close() noexcept {
  if (closed_) return;
  closed_ = true;
  moduleInfo_ = KeptModuleInfo{};
  plugin_.reset();
  helper_.reset();
  // Widgets the plug-in deleted later still run its code when they go; they must be gone before
  // its code may be unmapped.
  if (QCoreApplication::instance())
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (!library_.unload()) {
    std::cerr << "notecast-host: warning: " << library_.path()
              << " still has live objects (DllCanUnloadNow did not answer S_OK); it stays loaded\n";
  }
}

}  // namespace notecast::host
