#include "host/dmx/OlaDmxInput.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/network/TCPSocket.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <span>
#include <utility>

namespace notecast::host {
namespace {

constexpr int kKeepAliveIdleSeconds = 5;
constexpr int kKeepAliveIntervalSeconds = 2;
constexpr int kKeepAliveProbes = 3;
static_assert(kKeepAliveIdleSeconds + kKeepAliveIntervalSeconds * kKeepAliveProbes ==
              OlaDmxInput::kDeadPeerSeconds);

QString describeUniverses(const std::vector<unsigned>& universes, const OlaDaemonAddress& daemon) {
  QStringList numbers;
  for (const unsigned universe : universes) numbers << QString::number(universe);
  QString text = QStringLiteral("OLA universe%1 %2")
                     .arg(universes.size() == 1 ? "" : "s")
                     .arg(numbers.join(QLatin1Char(',')));
  if (!daemon.isDefault()) text += QStringLiteral(" at ") + daemon.toString();
  return text;
}

// A name is told with the address it stood for when it was looked up.
QString describeDaemon(const OlaDaemonAddress& daemon, std::uint32_t ipv4) {
  const QString dotted = QStringLiteral("%1.%2.%3.%4")
                             .arg(ipv4 >> 24)
                             .arg((ipv4 >> 16) & 0xFF)
                             .arg((ipv4 >> 8) & 0xFF)
                             .arg(ipv4 & 0xFF);
  if (daemon.host == dotted) return daemon.toString();
  return QStringLiteral("%1 (%2)").arg(daemon.toString(), dotted);
}

void keepAlive(int descriptor) {
  const int on = 1;
  ::setsockopt(descriptor, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(descriptor, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepAliveIdleSeconds,
               sizeof kKeepAliveIdleSeconds);
  ::setsockopt(descriptor, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepAliveIntervalSeconds,
               sizeof kKeepAliveIntervalSeconds);
  ::setsockopt(descriptor, IPPROTO_TCP, TCP_KEEPCNT, &kKeepAliveProbes, sizeof kKeepAliveProbes);
}

}  // namespace

struct OlaDmxInput::Attempt {
  int descriptor = -1;
  std::unique_ptr<QSocketNotifier> notifier;

  ~Attempt() {
    notifier.reset();
    if (descriptor >= 0) ::close(descriptor);
  }
  // The connected socket, no longer the attempt's to close.
  int release() {
    notifier.reset();
    return std::exchange(descriptor, -1);
  }
};

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

OlaDmxInput::OlaDmxInput(std::vector<unsigned> universes, const OlaDaemonAddress& daemon)
    : DmxInput(describeUniverses(universes, daemon), universes.size()),
      universes_(std::move(universes)),
      daemonIpv4_(daemon.resolve()),
      daemonPort_(daemon.port),
      daemonText_(describeDaemon(daemon, daemonIpv4_)) {
  retry_.setSingleShot(true);
  retry_.setInterval(kRetryInterval);
  connect(&retry_, &QTimer::timeout, this, &OlaDmxInput::connectToDaemon);
  attemptTimeout_.setSingleShot(true);
  attemptTimeout_.setInterval(kConnectTimeout);
  connect(&attemptTimeout_, &QTimer::timeout, this, [this] {
    attempt_.reset();
    noDaemon(ETIMEDOUT);
  });
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
  attemptTimeout_.stop();
  beat_.stop();
  backlogSettle_.stop();
  attempt_.reset();
  connection_.reset();
  setState(QStringLiteral("stopped"));
}

// The connect runs in the background: a daemon's machine that does not answer never holds the
// main thread up. On loopback it is accepted or refused at once.
void OlaDmxInput::connectToDaemon() {
  if (stopped_) return;
  auto attempt = std::make_unique<Attempt>();
  attempt->descriptor = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (attempt->descriptor < 0) {
    noDaemon(errno);
    return;
  }
  keepAlive(attempt->descriptor);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(daemonIpv4_);
  address.sin_port = htons(daemonPort_);
  // Only this address, never a daemon of OLA's own starting.
  if (::connect(attempt->descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
      0) {
    connected(attempt->release());
    return;
  }
  if (errno != EINPROGRESS) {
    noDaemon(errno);
    return;
  }
  attempt->notifier =
      std::make_unique<QSocketNotifier>(attempt->descriptor, QSocketNotifier::Write);
  connect(attempt->notifier.get(), &QSocketNotifier::activated, this,
          &OlaDmxInput::attemptAnswered);
  attempt_ = std::move(attempt);
  attemptTimeout_.start();
}

// Runs inside the attempt's own notifier: the attempt ends once the signal is over.
void OlaDmxInput::attemptAnswered() {
  attempt_->notifier->setEnabled(false);
  attemptTimeout_.stop();
  QMetaObject::invokeMethod(this, &OlaDmxInput::endAttempt, Qt::QueuedConnection);
}

void OlaDmxInput::endAttempt() {
  if (!attempt_) return;  // stopped meanwhile
  const std::unique_ptr<Attempt> attempt = std::move(attempt_);
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(attempt->descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  if (error != 0) {
    noDaemon(error);
    return;
  }
  connected(attempt->release());
}

// `error`: why the attempt failed; a refusal (or 0) is just no daemon.
void OlaDmxInput::noDaemon(int error) {
  // After a lost connection the state keeps saying so: that is the more useful news.
  if (!lost_) {
    QString state = QStringLiteral("no OLA daemon on ") + daemonText_;
    if (error != 0 && error != ECONNREFUSED) {
      QString reason = QString::fromLocal8Bit(std::strerror(error));
      if (!reason.isEmpty()) reason[0] = reason[0].toLower();
      state += QStringLiteral(": ") + reason;
    }
    setState(state + QStringLiteral(", retrying"));
  }
  retry_.start();
}

void OlaDmxInput::connected(int descriptor) {
  auto connection = std::make_unique<Connection>();
  connection->socket = std::make_unique<ola::network::TCPSocket>(descriptor);
  connection->client = std::make_unique<ola::client::OlaClient>(connection->socket.get());
  if (!connection->client->Setup()) {
    connection.reset();
    noDaemon(0);
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
  if (lost_) setState(kConnectionLost);
  noDaemon(0);
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
