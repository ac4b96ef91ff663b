#pragma once
// The pages that watch the bridge (each a WebSocket) and what they are pushed, as JSON texts:
//   hello     once, at the start: the project, the version, the mode, whether Reload works
//   state     the DMX input and the MIDI output, and the time running; when it changed, and
//             at least once a second (a page that hears nothing for a while says the bridge
//             has gone)
//   messages  the newest messages sent since the last push, as --monitor words them, newest
//             first, at most kMessagesPerPush of them: a page shows what a person can read,
//             the rest is counted as "skipped"
//   events    the entry list and the shared events, when the list was shown anew
//   notice    the outcome of an action (a reload)
// Every push happens on a tick of the main loop, never inside the plug-in's send: the MIDI
// never waits for a page. A page that does not take what it is sent (its connection's backlog
// above kMaxBacklogBytes) is skipped until it has caught up, and closed once it has been behind
// for kStuckMs. At most kMaxWatchers pages watch at once; the server turns one more away.
//
// Contract: main thread; the session, the trail and the log outlive the feed.

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <vector>

#include "host/dmx/DmxStatusMeter.h"
#include "host/session/PluginSession.h"
#include "host/web/MessageTrail.h"
#include "host/web/WebLog.h"

namespace notecast::host {

class LiveFeed : public QObject {
  Q_OBJECT

 public:
  static constexpr int kMaxWatchers = 16;
  static constexpr int kTickMs = 250;
  static constexpr int kStateEveryMs = 1000;
  static constexpr std::size_t kMessagesPerPush = 25;
  static constexpr qint64 kMaxBacklogBytes = qint64{256} * 1024;
  static constexpr int kStuckMs = 15000;

  // `about`: the hello's fields; `dmx`: the DMX input's status now.
  LiveFeed(PluginSession& session, const MessageTrail& trail, WebLog& log, QJsonObject about,
           std::function<DmxInputStatus()> dmx);
  ~LiveFeed() override;

  // True once the bridge stops, too: no page may watch then.
  bool full() const noexcept { return stopped_ || watchers_.size() >= kMaxWatchers; }
  std::size_t watchers() const noexcept { return watchers_.size(); }
  // A page's WebSocket, upgraded: it gets the hello and everything known, then the pushes.
  void watch(std::unique_ptr<QWebSocket> socket);
  // Pushes a notice to every page.
  void notice(const QString& text);
  // The bridge stops: every page hears the last state and messages and `text`, then its
  // connection closes. Call while the session is still open.
  void farewell(const QString& text);

 private:
  struct Watcher {
    std::unique_ptr<QWebSocket> socket;
    std::int64_t eventsSent = -1;  // the entry list's revision it has
    QElapsedTimer behindSince;     // valid while its backlog is too large
  };

  void tick();
  void readPlugin();
  QByteArray stateText(bool* changed);
  QByteArray messagesText();
  void send(Watcher& watcher, const QByteArray& text, bool mayDrop);
  bool caughtUp(Watcher& watcher);
  void drop(QWebSocket* socket);

  PluginSession& session_;
  const MessageTrail& trail_;
  WebLog& log_;
  QByteArray hello_;
  std::function<DmxInputStatus()> dmx_;
  QElapsedTimer running_;
  QTimer ticker_;
  std::vector<Watcher> watchers_;
  QJsonObject midi_;      // as last read from the plug-in
  QByteArray lastState_;  // without the time running
  QElapsedTimer stateSent_;
  std::int64_t messagesPushed_ = 0;  // the trail's total at the last push
  std::int64_t eventsRevision_ = -1;
  QByteArray events_;
  bool stopped_ = false;
};

}  // namespace notecast::host
