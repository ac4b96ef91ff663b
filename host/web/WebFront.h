#pragma once
// The bridge's web page (--web): listens, tells where, and serves the page and its live feed
// until it goes. Built on the host's own event loop: no thread of its own.
//
// Contract: main thread; the session outlives the object.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/dmx/DmxStatusMeter.h"
#include "host/session/PluginSession.h"
#include "host/web/WebAddress.h"
#include "host/web/WebServer.h"

namespace notecast::host {

class ConnectionGate;

struct WebSetup {
  WebAddress address;
  std::optional<QString> secretFile;  // --web-token-file
  QString project;
  QString version;  // "notecast-host 0.8.1"
  QString mode;     // "headless", "desktop"
  std::function<DmxInputStatus()> dmx;
  // Asks for the checked reload; the outcome comes back through notice(). Empty: the page's
  // Reload says why there is none.
  std::function<void()> reload;
  QString noReload;                             // the reason then
  std::function<void(const std::string&)> log;  // one line, without the program's name
};

class WebFront {
 public:
  // Listens and tells the page's address once. Throws HostError when it cannot listen (a port
  // in use is said plainly) or the secret file cannot be used.
  WebFront(PluginSession& session, WebSetup setup);
  ~WebFront();
  WebFront(const WebFront&) = delete;
  WebFront& operator=(const WebFront&) = delete;

  // Told of every message the plug-in sends.
  IMessageSink* messageSink() noexcept { return &trail_; }
  // A line for every page (a reload's outcome).
  void notice(const std::string& line);
  // The run ends: the pages hear the last of it and are closed, before the plug-in goes.
  void stop();
  // Where it listens, with the port the system chose.
  const WebAddress& address() const noexcept { return listening_; }

 private:
  ActionAnswer fire(const QString& event);
  ActionAnswer reload();
  void tellAddress() const;

  PluginSession& session_;
  WebSetup setup_;
  WebLog log_;
  MessageTrail trail_;
  WebAddress listening_;
  bool stopped_ = false;
  std::unique_ptr<WebAccess> access_;
  std::unique_ptr<LiveFeed> feed_;
  std::unique_ptr<WebServer> server_;  // last: it goes first, with its connections
};

}  // namespace notecast::host
