#include "host/web/LiveFeed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

#include "host/web/BridgeReading.h"

namespace notecast::host {
namespace {

QByteArray jsonText(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}  // namespace

LiveFeed::LiveFeed(PluginSession& session, const MessageTrail& trail, WebLog& log,
                   QJsonObject about, std::function<DmxInputStatus()> dmx)
    : session_(session), trail_(trail), log_(log), dmx_(std::move(dmx)) {
  about.insert("type", "hello");
  hello_ = jsonText(about);
  running_.start();
  messagesPushed_ = trail_.total();
  ticker_.setInterval(kTickMs);
  connect(&ticker_, &QTimer::timeout, this, &LiveFeed::tick);
}

LiveFeed::~LiveFeed() {
  for (Watcher& watcher : watchers_) {
    watcher.socket->disconnect(this);
    watcher.socket->abort();
  }
}

void LiveFeed::watch(std::unique_ptr<QWebSocket> socket) {
  if (full()) return;  // upgraded just before the bridge stopped: the socket goes with it
  QWebSocket* raw = socket.get();
  // A page sends nothing that matters: whatever it sends is read and dropped, in small bites.
  raw->setMaxAllowedIncomingFrameSize(1024);
  raw->setMaxAllowedIncomingMessageSize(1024);
  connect(raw, &QWebSocket::disconnected, this, [this, raw] { drop(raw); });
  watchers_.push_back(Watcher{std::move(socket), -1, QElapsedTimer()});
  Watcher& watcher = watchers_.back();
  if (!ticker_.isActive()) ticker_.start();
  readPlugin();
  send(watcher, hello_, false);
  lastState_.clear();  // everyone hears the state at once, the newcomer too
  tick();
}

void LiveFeed::notice(const QString& text) {
  const QByteArray notice = jsonText({{"type", "notice"}, {"text", text}});
  for (Watcher& watcher : watchers_) send(watcher, notice, false);
}

void LiveFeed::farewell(const QString& text) {
  stopped_ = true;
  ticker_.stop();
  lastState_.clear();
  tick();
  notice(text);
  for (Watcher& watcher : watchers_) {
    watcher.socket->disconnect(this);
    watcher.socket->close(QWebSocketProtocol::CloseCodeGoingAway, text);
    watcher.socket->flush();
  }
  watchers_.clear();
}

void LiveFeed::drop(QWebSocket* socket) {
  const auto found = std::find_if(watchers_.begin(), watchers_.end(),
                                  [socket](const Watcher& w) { return w.socket.get() == socket; });
  if (found == watchers_.end()) return;
  // Not deleted inside its own signal.
  found->socket.release()->deleteLater();
  watchers_.erase(found);
  if (watchers_.empty()) ticker_.stop();
}

// The plug-in is read only while it is free: a page never calls into a plug-in call (a box).
void LiveFeed::readPlugin() {
  if (session_.gate().busy()) return;
  const PluginGate::Call call(session_.gate());
  if (const auto midi = readMidiJson(session_)) midi_ = *midi;
  const std::optional<std::int64_t> revision = readEntryListRevision(session_);
  if (revision && *revision != eventsRevision_) {
    eventsRevision_ = *revision;
    events_ = jsonText({{"type", "events"},
                        {"lines", readEntryLines(session_)},
                        {"commands", readSharedCommands(session_)}});
  }
}

QByteArray LiveFeed::stateText(bool* changed) {
  QJsonObject state{{"type", "state"}, {"dmx", dmxJson(dmx_())}, {"midi", midi_}};
  const QByteArray withoutTime = jsonText(state);
  *changed = withoutTime != lastState_;
  lastState_ = withoutTime;
  state.insert("running", static_cast<qint64>(running_.elapsed() / 1000));
  return jsonText(state);
}

QByteArray LiveFeed::messagesText() {
  const std::int64_t total = trail_.total();
  if (total == messagesPushed_) return {};
  const std::vector<std::string> newest = trail_.newestLines(kMessagesPerPush, messagesPushed_);
  QJsonArray lines;
  for (const std::string& line : newest) lines.append(QString::fromStdString(line));
  const std::int64_t skipped = total - messagesPushed_ - static_cast<std::int64_t>(newest.size());
  messagesPushed_ = total;
  return jsonText({{"type", "messages"},
                   {"lines", lines},
                   {"skipped", static_cast<qint64>(skipped)},
                   {"total", static_cast<qint64>(total)}});
}

void LiveFeed::tick() {
  readPlugin();
  bool changed = false;
  const QByteArray state = stateText(&changed);
  const bool stateDue = changed || !stateSent_.isValid() || stateSent_.hasExpired(kStateEveryMs);
  if (stateDue) stateSent_.start();
  const QByteArray messages = messagesText();
  // Indexes: a page closed for being stuck leaves the list.
  for (std::size_t i = watchers_.size(); i-- > 0;) {
    Watcher& watcher = watchers_[i];
    if (!caughtUp(watcher)) continue;
    if (watcher.eventsSent != eventsRevision_ && !events_.isEmpty()) {
      send(watcher, events_, false);
      watcher.eventsSent = eventsRevision_;
    }
    if (stateDue) send(watcher, state, true);
    if (!messages.isEmpty()) send(watcher, messages, true);
  }
}

// False while the page's connection holds more than kMaxBacklogBytes unsent; a page behind for
// kStuckMs is closed.
bool LiveFeed::caughtUp(Watcher& watcher) {
  if (watcher.socket->bytesToWrite() <= kMaxBacklogBytes) {
    watcher.behindSince.invalidate();
    return true;
  }
  if (!watcher.behindSince.isValid()) watcher.behindSince.start();
  if (watcher.behindSince.hasExpired(kStuckMs)) {
    log_.note("a page at " + watcher.socket->peerAddress().toString().toStdString() +
              " took nothing for " + std::to_string(kStuckMs / 1000) + " s: closed");
    watcher.socket->abort();
  }
  return false;
}

void LiveFeed::send(Watcher& watcher, const QByteArray& text, bool mayDrop) {
  if (mayDrop && watcher.socket->bytesToWrite() > kMaxBacklogBytes) return;
  watcher.socket->sendTextMessage(QString::fromUtf8(text));
}

}  // namespace notecast::host
