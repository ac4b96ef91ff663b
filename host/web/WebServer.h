#pragma once
// The web page's HTTP side, on Qt's HTTP server: its own files (built into the program, named
// by a fixed table: no part of an address reaches the file system), the WebSocket the page
// watches the bridge on, and the page's two actions, each a POST:
//   GET  /, /page.css, /page.js     the page
//   GET  /live                      the WebSocket (LiveFeed)
//   POST /fire?event=VALUE          fires the shared event VALUE (the command server's value)
//   POST /reload                    loads the project's event file again, as SIGHUP does
// Every request meets WebAccess first. Each connection carries one request (every answer says
// "Connection: close"), so each one passes the ConnectionGate's bounds; the server closes it
// once answered.
//
// Contract: main thread.

#include <QAbstractHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <functional>
#include <map>

#include "host/web/LiveFeed.h"
#include "host/web/WebAccess.h"
#include "host/web/WebLog.h"

namespace notecast::host {

// What an action answers: an HTTP status and one line for the page.
struct ActionAnswer {
  int status = 200;
  QString text;
};

struct WebActions {
  std::function<ActionAnswer(const QString& event)> fire;
  std::function<ActionAnswer()> reload;
};

class WebServer : public QAbstractHttpServer {
  Q_OBJECT

 public:
  WebServer(const WebAccess& access, LiveFeed& feed, WebActions actions, WebLog& log);

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  struct File {
    QByteArray content;
    QByteArray type;
  };

  // The WebSocket upgrade: true lets Qt's WebSocket server take the connection.
  bool allowUpgrade(const QHttpServerRequest& request, QTcpSocket* socket);
  void answer(const QHttpServerRequest& request, QTcpSocket* socket);
  void reply(const QHttpServerRequest& request, QTcpSocket* socket, int status,
             const QByteArray& body, const QByteArray& type = "text/plain; charset=utf-8",
             const QByteArray& cookie = {});
  void refuse(const QHttpServerRequest& request, QTcpSocket* socket, int status,
              const QByteArray& reason);

  const WebAccess& access_;
  LiveFeed& feed_;
  WebActions actions_;
  WebLog& log_;
  std::map<QString, File> files_;
  AccessVerdict upgradeRefusal_;  // why the last upgrade was refused, for missingHandler
};

}  // namespace notecast::host
