#include "host/dmx/OlaDmxInput.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/ClientWrapper.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>

#include <QMetaObject>
#include <QStringList>
#include <cstdint>
#include <span>
#include <utility>

namespace notecast::host {
namespace {

QString describeUniverses(const std::vector<unsigned>& universes) {
  QStringList numbers;
  for (const unsigned universe : universes) numbers << QString::number(universe);
  return QStringLiteral("OLA universe%1 %2")
      .arg(universes.size() == 1 ? "" : "s")
      .arg(numbers.join(QLatin1Char(',')));
}

}  // namespace

OlaDmxInput::OlaDmxInput(std::vector<unsigned> universes)
    : DmxInput(describeUniverses(universes), universes.size()),
      universes_(std::move(universes)),
      mailbox_(heldFrameLimit()) {}

OlaDmxInput::~OlaDmxInput() {
  stop();
}

void OlaDmxInput::start() {
  if (thread_.joinable()) return;
  setState(kConnecting);
  thread_ = std::thread(&OlaDmxInput::run, this);
}

void OlaDmxInput::stopSource() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    // Terminate() from another thread is lost when the server is not running yet; a callback
    // queued with Execute() runs once it does.
    if (server_)
      server_->Execute(ola::NewSingleCallback(server_, &ola::io::SelectServer::Terminate));
  }
  wake_.notify_all();
  thread_.join();
  setState(QStringLiteral("stopped"));
}

void OlaDmxInput::run() {
  bool lost = false;
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (stopping_) return;
    }
    if (serveOneConnection()) {
      {
        const std::lock_guard lock(mutex_);
        if (stopping_) return;
      }
      lost = true;
      post(kConnectionLost);
    } else if (!lost) {
      // After a lost connection the state keeps saying so: that is the more useful news.
      post(kNoDaemon);
    }
    if (!waitBeforeRetry()) return;
  }
}

bool OlaDmxInput::serveOneConnection() {
  // auto_start false: connect to 127.0.0.1:9010 only, never start a daemon.
  ola::client::OlaClientWrapper wrapper(false);
  if (!wrapper.Setup()) return false;
  post(kConnecting);
  ola::client::OlaClient* client = wrapper.GetClient();
  loop_ = wrapper.GetSelectServer();
  lastBeat_ = std::chrono::steady_clock::now();
  readingBacklog_ = false;
  backlogSettle_ = nullptr;
  loop_->RegisterRepeatingTimeout(static_cast<unsigned>(kBeatInterval.count()),
                                  ola::NewCallback(this, &OlaDmxInput::beat));
  wrapper.SetCloseCallback(ola::NewCallback(this, &OlaDmxInput::connectionClosed));
  client->SetDMXCallback(ola::NewCallback(this, &OlaDmxInput::frameArrived));
  registeredCount_ = 0;
  for (const unsigned universe : universes_) {
    client->RegisterUniverse(universe, ola::client::REGISTER,
                             ola::NewSingleCallback(this, &OlaDmxInput::registered, universe));
  }
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) {
      loop_ = nullptr;
      return true;
    }
    server_ = wrapper.GetSelectServer();
  }
  wrapper.GetSelectServer()->Run();
  // A backlog cut short by the end of the connection still goes out.
  if (readingBacklog_) endBacklog();
  loop_ = nullptr;
  const std::lock_guard lock(mutex_);
  server_ = nullptr;
  return true;
}

bool OlaDmxInput::waitBeforeRetry() {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, kRetryInterval, [this] { return stopping_; });
}

void OlaDmxInput::frameArrived(const ola::client::DMXMetadata& metadata,
                               const ola::DmxBuffer& buffer) {
  DmxFrame frame = frameOf(metadata.universe, std::span(buffer.GetRaw(), buffer.Size()));
  const auto now = std::chrono::steady_clock::now();
  if (!readingBacklog_ && now - lastBeat_ > kStallLimit) startBacklog(now);
  if (!readingBacklog_) {
    handOver(std::move(frame));
    return;
  }
  backlog_.push(std::move(frame));
  if (backlogRead(now)) {
    endBacklog();
  } else {
    armBacklogSettle();
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
bool OlaDmxInput::beat() {
  const auto now = std::chrono::steady_clock::now();
  if (!readingBacklog_ && now - lastBeat_ > kStallLimit) {
    startBacklog(now);
    armBacklogSettle();
  }
  lastBeat_ = now;
  return true;  // keep beating
}

// Frames the main thread has not taken yet are older still: they fold in first.
void OlaDmxInput::startBacklog(std::chrono::steady_clock::time_point now) {
  readingBacklog_ = true;
  backlogStart_ = now;
  backlogArrivals_.clear();
  const std::lock_guard lock(mailboxMutex_);
  for (DmxFrame& waiting : mailbox_.takeAll()) backlog_.push(std::move(waiting));
}

// Every backlog frame moves the settle time on: a window without any frame ends the backlog.
void OlaDmxInput::armBacklogSettle() {
  if (backlogSettle_) loop_->RemoveTimeout(backlogSettle_);
  backlogSettle_ =
      loop_->RegisterSingleTimeout(static_cast<unsigned>(kBacklogWindow.count()),
                                   ola::NewSingleCallback(this, &OlaDmxInput::backlogSettled));
}

void OlaDmxInput::backlogSettled() {
  backlogSettle_ = nullptr;  // used up
  endBacklog();
}

void OlaDmxInput::endBacklog() {
  if (backlogSettle_) loop_->RemoveTimeout(backlogSettle_);
  backlogSettle_ = nullptr;
  readingBacklog_ = false;
  lastBeat_ = std::chrono::steady_clock::now();
  if (!backlog_.empty()) handOver(backlog_.pop());
}

// One drain is posted for however many frames come before the main thread takes them.
void OlaDmxInput::handOver(DmxFrame frame) {
  bool postDrain = false;
  {
    const std::lock_guard lock(mailboxMutex_);
    mailbox_.push(std::move(frame));
    postDrain = !std::exchange(drainPosted_, true);
  }
  if (postDrain) {
    QMetaObject::invokeMethod(this, &OlaDmxInput::drainMailbox, Qt::QueuedConnection);
  }
}

void OlaDmxInput::drainMailbox() {
  std::deque<DmxFrame> frames;
  {
    const std::lock_guard lock(mailboxMutex_);
    frames = mailbox_.takeAll();
    drainPosted_ = false;
  }
  takeFrames(std::move(frames));
}

void OlaDmxInput::registered(unsigned universe, const ola::client::Result& result) {
  if (!result.Success()) {
    post(QStringLiteral("cannot register universe %1: %2")
             .arg(universe)
             .arg(QString::fromStdString(result.Error())));
    return;
  }
  if (++registeredCount_ == universes_.size()) post(kRunning);
}

// The daemon went away: the select server ends and run() connects anew.
void OlaDmxInput::connectionClosed() {
  const std::lock_guard lock(mutex_);
  if (server_) server_->Terminate();
}

void OlaDmxInput::post(const QString& state) {
  QMetaObject::invokeMethod(
      this, [this, state] { setState(state); }, Qt::QueuedConnection);
}

}  // namespace notecast::host
