#include "bench/latency/WebWatchers.h"

#include <QWebSocket>
#include <thread>

namespace notecast::bench {

WebWatchers::WebWatchers(const QUrl& live, int count) : context_(new QObject), count_(count) {
  context_->moveToThread(&thread_);
  QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
  thread_.start();
  QMetaObject::invokeMethod(context_, [this, live] {
    for (int i = 0; i < count_; ++i) {
      auto* socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, context_);
      QObject::connect(socket, &QWebSocket::connected, [this] { ++connected_; });
      QObject::connect(socket, &QWebSocket::textMessageReceived, [this](const QString& text) {
        ++messages_;
        bytes_ += text.size();
      });
      socket->open(live);
    }
  });
}

WebWatchers::~WebWatchers() {
  thread_.quit();
  thread_.wait();
}

bool WebWatchers::waitConnected(std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (connected_.load() < count_) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace notecast::bench
