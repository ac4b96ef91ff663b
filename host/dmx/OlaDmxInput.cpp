#include "host/dmx/OlaDmxInput.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/ClientWrapper.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>

#include <QMetaObject>
#include <QStringList>
#include <cstdint>

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
    : DmxInput(describeUniverses(universes)), universes_(std::move(universes)) {}

OlaDmxInput::~OlaDmxInput() {
  stop();
}

void OlaDmxInput::start() {
  if (thread_.joinable()) return;
  setState(kConnecting);
  thread_ = std::thread(&OlaDmxInput::run, this);
}

void OlaDmxInput::stop() {
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
  wrapper.SetCloseCallback(ola::NewCallback(this, &OlaDmxInput::connectionClosed));
  client->SetDMXCallback(ola::NewCallback(this, &OlaDmxInput::frameArrived));
  registeredCount_ = 0;
  for (const unsigned universe : universes_) {
    client->RegisterUniverse(universe, ola::client::REGISTER,
                             ola::NewSingleCallback(this, &OlaDmxInput::registered, universe));
  }
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) return true;
    server_ = wrapper.GetSelectServer();
  }
  wrapper.GetSelectServer()->Run();
  const std::lock_guard lock(mutex_);
  server_ = nullptr;
  return true;
}

bool OlaDmxInput::waitBeforeRetry() {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, kRetryInterval, [this] { return stopping_; });
}

// Each frame goes to the main thread as a copy of its own: queued events keep their order.
void OlaDmxInput::frameArrived(const ola::client::DMXMetadata& metadata,
                               const ola::DmxBuffer& buffer) {
  std::vector<std::uint8_t> values(buffer.GetRaw(), buffer.GetRaw() + buffer.Size());
  const unsigned universe = metadata.universe;
  QMetaObject::invokeMethod(
      this, [this, universe, values = std::move(values)] { takeFrame(universe, values); },
      Qt::QueuedConnection);
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
