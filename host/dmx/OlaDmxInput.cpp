#include "host/dmx/OlaDmxInput.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/network/IPV4Address.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>

#include <QSocketNotifier>
#include <QStringList>
#include <cstdint>
#include <span>
#include <utility>

namespace notecast::host {
namespace {

constexpr std::uint16_t kDaemonPort = 9010;

QString describeUniverses(const std::vector<unsigned>& universes) {
  QStringList numbers;
  for (const unsigned universe : universes) numbers << QString::number(universe);
  return QStringLiteral("OLA universe%1 %2")
      .arg(universes.size() == 1 ? "" : "s")
      .arg(numbers.join(QLatin1Char(',')));
}

}  // namespace

struct OlaDmxInput::Connection {
  std::unique_ptr<ola::network::TCPSocket> socket;
  std::unique_ptr<ola::client::OlaClient> client;
  std::unique_ptr<QSocketNotifier> notifier;

  ~Connection() {
    notifier.reset();
    if (client) client->Stop();
    client.reset();
    if (socket) socket->Close();
  }
};

OlaDmxInput::OlaDmxInput(std::vector<unsigned> universes)
    : DmxInput(describeUniverses(universes), universes.size()), universes_(std::move(universes)) {
  retry_.setSingleShot(true);
  retry_.setInterval(kRetryInterval);
  connect(&retry_, &QTimer::timeout, this, &OlaDmxInput::connectToDaemon);
  beat_.setInterval(kBeatInterval);
  connect(&beat_, &QTimer::timeout, this, &OlaDmxInput::beat);
  backlogSettle_.setSingleShot(true);
  backlogSettle_.setInterval(kBacklogWindow);
  connect(&backlogSettle_, &QTimer::timeout, this, [this] {
    endBacklog();
    sendQueuedFrames();
  });
}

OlaDmxInput::~OlaDmxInput() {
  stop();
}

void OlaDmxInput::start() {
  if (started_) return;
  started_ = true;
  setState(kConnecting);
  connectToDaemon();
}

void OlaDmxInput::stopSource() {
  if (!started_ || stopped_) return;
  stopped_ = true;
  retry_.stop();
  beat_.stop();
  backlogSettle_.stop();
  connection_.reset();
  setState(QStringLiteral("stopped"));
}

// A connection to a daemon on loopback is accepted or refused at once: the main thread does not
// wait on it.
void OlaDmxInput::connectToDaemon() {
  if (stopped_) return;
  auto connection = std::make_unique<Connection>();
  // Only 127.0.0.1:9010, never a daemon of OLA's own starting.
  connection->socket.reset(ola::network::TCPSocket::Connect(
      ola::network::IPV4SocketAddress(ola::network::IPV4Address::Loopback(), kDaemonPort)));
  if (!connection->socket) {
    // After a lost connection the state keeps saying so: that is the more useful news.
    if (!lost_) setState(kNoDaemon);
    retry_.start();
    return;
  }
  connection->client = std::make_unique<ola::client::OlaClient>(connection->socket.get());
  if (!connection->client->Setup()) {
    connection.reset();
    if (!lost_) setState(kNoDaemon);
    retry_.start();
    return;
  }
  setState(kConnecting);
  connection->client->SetDMXCallback(ola::NewCallback(this, &OlaDmxInput::frameArrived));
  connection->notifier = std::make_unique<QSocketNotifier>(connection->socket->ReadDescriptor(),
                                                           QSocketNotifier::Read);
  connect(connection->notifier.get(), &QSocketNotifier::activated, this, &OlaDmxInput::socketReady);
  connection_ = std::move(connection);
  lastBeat_ = std::chrono::steady_clock::now();
  readingBacklog_ = false;
  beat_.start();
  registeredCount_ = 0;
  for (const unsigned universe : universes_) {
    connection_->client->RegisterUniverse(
        universe, ola::client::REGISTER,
        ola::NewSingleCallback(this, &OlaDmxInput::registered, universe));
  }
}

// OLA's client reads one message at a time. The frames it reports wait in the input until the
// read is over, then go out: a receiver's nested event loop may then read further frames, which
// join the wait behind them, but never re-enters OLA's client in the middle of a message.
void OlaDmxInput::socketReady() {
  if (!connection_) return;
  if (connection_->socket->IsClosed()) {
    // Not torn down here: this runs inside the notifier's own signal.
    connection_->notifier->setEnabled(false);
    QMetaObject::invokeMethod(this, &OlaDmxInput::connectionClosed, Qt::QueuedConnection);
    return;
  }
  connection_->socket->PerformRead();
  sendQueuedFrames();
}

// The daemon went away: connect anew after kRetryInterval.
void OlaDmxInput::connectionClosed() {
  if (stopped_ || !connection_) return;
  beat_.stop();
  connection_.reset();
  if (readingBacklog_) endBacklog();  // a backlog cut short by the end still goes out
  // A daemon that closes before the input ran (one shutting down) was never a connection.
  if (registeredCount_ == universes_.size()) lost_ = true;
  setState(lost_ ? kConnectionLost : kNoDaemon);
  retry_.start();
  sendQueuedFrames();
}

void OlaDmxInput::frameArrived(const ola::client::DMXMetadata& metadata,
                               const ola::DmxBuffer& buffer) {
  const std::span values(buffer.GetRaw(), buffer.Size());
  const auto now = std::chrono::steady_clock::now();
  if (!readingBacklog_ && now - lastBeat_ > kStallLimit) startBacklog(now);
  if (!readingBacklog_) {
    queueFrame(metadata.universe, values);
    return;
  }
  backlog_.push(frameOf(metadata.universe, values));
  if (backlogRead(now)) {
    endBacklog();
  } else {
    backlogSettle_.start();  // every backlog frame moves the settle time on
  }
}

// The backlog has been read once a whole window has passed in which no more frames came than a
// live source sends.
bool OlaDmxInput::backlogRead(std::chrono::steady_clock::time_point now) {
  backlogArrivals_.push_back(now);
  while (backlogArrivals_.front() < now - kBacklogWindow) backlogArrivals_.pop_front();
  // 44 frames a second per universe: 4.4 in a 100 ms window, so 5.
  constexpr auto kLivePerUniverse =
      static_cast<std::size_t>(kBacklogWindow.count()) * kHeldFramesPerUniverse / 1000 + 1;
  const std::size_t liveFrames = kLivePerUniverse * universes_.size();
  return now - backlogStart_ > kMaxBacklogRead ||
         (now - backlogStart_ >= kBacklogWindow && backlogArrivals_.size() <= liveFrames);
}

// A beat may run before the first frame after a stall: it starts the backlog as well.
void OlaDmxInput::beat() {
  const auto now = std::chrono::steady_clock::now();
  if (!readingBacklog_ && now - lastBeat_ > kStallLimit) {
    startBacklog(now);
    backlogSettle_.start();
  }
  lastBeat_ = now;
}

void OlaDmxInput::startBacklog(std::chrono::steady_clock::time_point now) {
  readingBacklog_ = true;
  backlogStart_ = now;
  backlogArrivals_.clear();
}

// Queues the folded backlog; the caller sends it once OLA's client is not in a read.
void OlaDmxInput::endBacklog() {
  backlogSettle_.stop();
  readingBacklog_ = false;
  lastBeat_ = std::chrono::steady_clock::now();
  if (!backlog_.empty()) queueFrame(backlog_.pop());
}

void OlaDmxInput::registered(unsigned universe, const ola::client::Result& result) {
  if (!result.Success()) {
    setState(QStringLiteral("cannot register universe %1: %2")
                 .arg(universe)
                 .arg(QString::fromStdString(result.Error())));
    return;
  }
  if (++registeredCount_ == universes_.size()) {
    lost_ = false;
    setState(kRunning);
  }
}

}  // namespace notecast::host
