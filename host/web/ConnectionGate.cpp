#include "host/web/ConnectionGate.h"

#include <unistd.h>
#include <QHostAddress>
#include <QTimer>

namespace notecast::host {
namespace {

constexpr const char* kKeepOpen = "notecast-web-keep-open";
constexpr const char* kHandedOver = "notecast-web-handed-over";
constexpr int kRefusalLingerMs = 2000;  // a refused client has this long to read why

QByteArray reasonPhrase(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 413:
      return "Content Too Large";
    case 414:
      return "URI Too Long";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
}

// The refusal's answer, written by the gate itself: the server never saw the request.
QByteArray answer(int status, const QByteArray& reason) {
  const QByteArray body = reason + '\n';
  return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
         "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// What the log names of a request: its first line, or what came of it.
QByteArray firstLine(const QByteArray& received) {
  const qsizetype end = received.indexOf('\r');
  return end < 0 ? received.left(80) : received.left(std::min<qsizetype>(end, 80));
}

}  // namespace

ConnectionGate::ConnectionGate(WebLog& log, QObject* parent) : QTcpServer(parent), log_(log) {}

void ConnectionGate::keepOpen(QTcpSocket* socket) {
  socket->setProperty(kKeepOpen, true);
}

void ConnectionGate::incomingConnection(qintptr descriptor) {
  if (open_ + closing_ >= 2 * kMaxConnections) {
    ::close(static_cast<int>(descriptor));
    return;
  }
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  socket->setReadBufferSize(kReadBufferBytes);
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  if (open_ >= kMaxConnections) {
    ++closing_;
    countUntilGone(socket, closing_);
    refuse(socket, 503,
           "too many connections to this bridge's page (" + QByteArray::number(kMaxConnections) +
               " at once): close a page and try again",
           "(connection)");
    return;
  }
  countUntilGone(socket, open_);
  connect(socket, &QTcpSocket::readyRead, this, [this, socket] { lookAt(socket); });
  QTimer::singleShot(kHeadDeadlineMs, socket, [this, socket] {
    if (socket->property(kHandedOver).toBool()) return;
    refuse(socket, 408, "the request did not come whole within 5 s", firstLine(socket->peek(80)));
  });
}

// Counted through a child of the socket's: the WebSocket server cuts every connection of the
// socket's own signals when it takes one over, and the socket then lives as long as its WebSocket.
void ConnectionGate::countUntilGone(QTcpSocket* socket, int& count) {
  ++count;
  connect(new QObject(socket), &QObject::destroyed, this, [&count] { --count; });
}

void ConnectionGate::lookAt(QTcpSocket* socket) {
  const QByteArray received = socket->peek(RequestHeadLimits::kMaxHeadBytes + 1);
  const HeadLook look = lookAtHead(received);
  if (look.refusal) {
    refuse(socket, look.refusal->status, look.refusal->reason, firstLine(received));
    return;
  }
  if (look.head.complete) handOver(socket);
}

void ConnectionGate::refuse(QTcpSocket* socket, int status, const QByteArray& reason,
                            const QByteArray& what) {
  log_.refused(socket->peerAddress(), what, status, reason);
  disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
  socket->setProperty(kHandedOver, true);  // the head's deadline has nothing left to do
  socket->readAll();
  // Whatever else the client sends is read and dropped while it reads the answer.
  connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
  socket->write(answer(status, reason));
  socket->disconnectFromHost();
  QTimer::singleShot(kRefusalLingerMs, socket, [socket] { socket->abort(); });
}

void ConnectionGate::handOver(QTcpSocket* socket) {
  disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
  socket->setProperty(kHandedOver, true);
  QTimer::singleShot(kExchangeDeadlineMs, socket, [socket] {
    if (!socket->property(kKeepOpen).toBool()) socket->abort();
  });
  addPendingConnection(socket);
  // The server takes it from the pending ones now; what came already is read as news to it.
  emit newConnection();
  QMetaObject::invokeMethod(
      socket, [socket] { emit socket->readyRead(); }, Qt::QueuedConnection);
}

}  // namespace notecast::host
