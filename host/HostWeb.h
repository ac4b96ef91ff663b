#pragma once
// --web for the desktop and headless modes: the web page made from the command line, fed by the
// run's DMX input, with the run's reload where the mode has one.
//
// Contract: main thread; the session and the feed outlive the page.

#include <functional>
#include <memory>
#include <string>

#include "host/CommandLine.h"
#include "host/DmxFeed.h"
#include "host/web/WebFront.h"

namespace notecast::host {

// Null without --web. `reload` empty: the page's Reload says `noReload`. Throws HostError when
// the page cannot listen.
std::unique_ptr<WebFront> openWebPage(PluginSession& session, const HostOptions& options,
                                      const DmxFeed& feed, const char* mode,
                                      std::function<void()> reload, const QString& noReload,
                                      std::function<void(const std::string&)> log);

}  // namespace notecast::host
