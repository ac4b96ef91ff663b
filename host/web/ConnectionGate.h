#pragma once
// The web page's listening socket, and the bounds Qt's HTTP server (6.4) does not keep by
// itself: it would read a request head or body of any size into memory, wait for ever on a
// client that sends half a request, and take any number of connections. This gate takes each
// connection first and hands it to the server only once its head has come whole, within its
// bounds (RequestHead.h) and in time:
//  - at most kMaxConnections open at once; one more is answered 503 and closed, and past twice
//    that a connection is closed unanswered, so a flood costs next to nothing;
//  - the head within kHeadDeadlineMs, the whole exchange within kExchangeDeadlineMs (a
//    connection the server turned into a watcher's WebSocket is exempt: keepOpen);
//  - at most kReadBufferBytes read from a connection ahead of its use: a client that sends more
//    waits on its own connection (TCP's flow control) and is closed at its deadline.
// Nothing here blocks: a slow or stuck client only keeps its own connection open.
//
// Contract: main thread.

#include <QTcpServer>
#include <QTcpSocket>

#include "host/web/RequestHead.h"
#include "host/web/WebLog.h"

namespace notecast::host {

class ConnectionGate : public QTcpServer {
  Q_OBJECT

 public:
  static constexpr int kMaxConnections = 32;
  static constexpr int kHeadDeadlineMs = 5000;
  static constexpr int kExchangeDeadlineMs = 10000;
  static constexpr qint64 kReadBufferBytes = 16384;

  ConnectionGate(WebLog& log, QObject* parent = nullptr);

  // The connection now carries a watcher's WebSocket: it stays open past the deadlines.
  static void keepOpen(QTcpSocket* socket);
  // Connections open now, refused ones not counted.
  int openConnections() const noexcept { return open_; }

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  void countUntilGone(QTcpSocket* socket, int& count);
  void lookAt(QTcpSocket* socket);
  void refuse(QTcpSocket* socket, int status, const QByteArray& reason, const QByteArray& what);
  void handOver(QTcpSocket* socket);

  WebLog& log_;
  int open_ = 0;
  int closing_ = 0;  // refused ones still saying why
};

}  // namespace notecast::host
