#include "host/HostWeb.h"

namespace notecast::host {

std::unique_ptr<WebFront> openWebPage(PluginSession& session, const HostOptions& options,
                                      const DmxFeed& feed, const char* mode,
                                      std::function<void()> reload, const QString& noReload,
                                      std::function<void(const std::string&)> log) {
  if (!options.web) return nullptr;
  WebSetup setup;
  setup.address = parseWebAddress(QString::fromStdString(*options.web));
  if (options.webTokenFile) setup.secretFile = QString::fromStdString(*options.webTokenFile);
  setup.project = QString::fromStdString(options.projectBase);
  setup.version = QString::fromStdString(versionLine());
  setup.mode = QString::fromLatin1(mode);
  setup.dmx = [&feed] { return feed.status(); };
  setup.reload = std::move(reload);
  setup.noReload = noReload;
  setup.log = std::move(log);
  return std::make_unique<WebFront>(session, std::move(setup));
}

}  // namespace notecast::host
