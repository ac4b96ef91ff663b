#include "host/web/WebServer.h"

#include <QFile>
#include <QTcpSocket>
#include <QUrlQuery>

#include "host/web/ConnectionGate.h"

namespace notecast::host {
namespace {

using Status = QHttpServerResponder::StatusCode;

constexpr const char* kLivePath = "/live";

QByteArray methodName(QHttpServerRequest::Method method) {
  switch (method) {
    case QHttpServerRequest::Method::Get:
      return "GET";
    case QHttpServerRequest::Method::Post:
      return "POST";
    case QHttpServerRequest::Method::Head:
      return "HEAD";
    case QHttpServerRequest::Method::Put:
      return "PUT";
    case QHttpServerRequest::Method::Delete:
      return "DELETE";
    case QHttpServerRequest::Method::Options:
      return "OPTIONS";
    default:
      return "OTHER";
  }
}

QByteArray what(const QHttpServerRequest& request) {
  return methodName(request.method()) + ' ' + request.url().path().toUtf8();
}

AccessRequest accessOf(const QHttpServerRequest& request) {
  return {methodName(request.method()),
          request.query().queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded).toUtf8(),
          request.value("cookie"),
          request.value("authorization"),
          request.value("host"),
          request.value("origin")};
}

QByteArray resource(const QString& name) {
  QFile file(QStringLiteral(":/notecast/web/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

WebServer::WebServer(const WebAccess& access, LiveFeed& feed, WebActions actions, WebLog& log)
    : access_(access), feed_(feed), actions_(std::move(actions)), log_(log) {
  files_["/"] = {resource("index.html"), "text/html; charset=utf-8"};
  files_["/page.css"] = {resource("page.css"), "text/css; charset=utf-8"};
  files_["/page.js"] = {resource("page.js"), "text/javascript; charset=utf-8"};
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] {
    while (hasPendingWebSocketConnections()) feed_.watch(nextPendingWebSocketConnection());
  });
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (request.value("upgrade").toLower() == "websocket") return allowUpgrade(request, socket);
  answer(request, socket);
  return true;
}

bool WebServer::allowUpgrade(const QHttpServerRequest& request, QTcpSocket* socket) {
  upgradeRefusal_ = access_.check(accessOf(request));
  if (upgradeRefusal_.allowed() && request.url().path() != kLivePath)
    upgradeRefusal_ = {404, "no WebSocket here; the page watches " + QByteArray(kLivePath)};
  if (upgradeRefusal_.allowed() && feed_.full())
    upgradeRefusal_ = {503, QByteArray::number(LiveFeed::kMaxWatchers) +
                                " pages watch this bridge already: close one and reload"};
  if (!upgradeRefusal_.allowed()) return false;
  // The WebSocket server takes the connection as it is, with nothing written.
  ConnectionGate::keepOpen(socket);
  return true;
}

void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  const AccessVerdict refusal =
      upgradeRefusal_.allowed() ? AccessVerdict{404, "no such page"} : upgradeRefusal_;
  upgradeRefusal_ = {};
  refuse(request, socket, refusal.status, refusal.reason);
}

void WebServer::answer(const QHttpServerRequest& request, QTcpSocket* socket) {
  const AccessVerdict verdict = access_.check(accessOf(request));
  if (!verdict.allowed()) return refuse(request, socket, verdict.status, verdict.reason);
  const QString path = request.url().path();
  const QByteArray method = methodName(request.method());
  const auto file = files_.find(path);
  if (file != files_.end() || path == kLivePath) {
    if (method != "GET") return refuse(request, socket, 405, "only GET here");
    if (path == kLivePath)
      return refuse(request, socket, 426, "this is the page's WebSocket: connect with one");
    // A page opened with the secret in its address gets it as a cookie for what it loads next.
    const bool secretInAddress = request.query().hasQueryItem(QStringLiteral("token"));
    return reply(request, socket, 200, file->second.content, file->second.type,
                 secretInAddress ? access_.cookieHeader() : QByteArray());
  }
  ActionAnswer action;
  if (path == "/fire" && actions_.fire) {
    if (method != "POST") return refuse(request, socket, 405, "an action is a POST");
    action =
        actions_.fire(request.query().queryItemValue(QStringLiteral("event"), QUrl::FullyDecoded));
  } else if (path == "/reload" && actions_.reload) {
    if (method != "POST") return refuse(request, socket, 405, "an action is a POST");
    action = actions_.reload();
  } else {
    return refuse(request, socket, 404, "no such page");
  }
  if (action.status >= 400)
    log_.refused(request.remoteAddress(), what(request), action.status, action.text.toUtf8());
  reply(request, socket, action.status, action.text.toUtf8() + '\n');
}

void WebServer::refuse(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                       const QByteArray& reason) {
  log_.refused(request.remoteAddress(), what(request), status, reason);
  reply(request, socket, status, reason + '\n');
}

void WebServer::reply(const QHttpServerRequest& request, QTcpSocket* socket, int status,
                      const QByteArray& body, const QByteArray& type, const QByteArray& cookie) {
  QHttpServerResponder responder = makeResponder(request, socket);
  responder.writeStatusLine(static_cast<Status>(status));
  responder.writeHeader("Content-Type", type);
  responder.writeHeader("Content-Length", QByteArray::number(body.size()));
  responder.writeHeader("Cache-Control", "no-store");
  responder.writeHeader("X-Content-Type-Options", "nosniff");
  responder.writeHeader("Referrer-Policy", "no-referrer");
  responder.writeHeader("Content-Security-Policy",
                        "default-src 'self'; connect-src 'self'; img-src 'self' data:; "
                        "frame-ancestors 'none'; form-action 'none'");
  if (!cookie.isEmpty()) responder.writeHeader("Set-Cookie", cookie);
  responder.writeHeader("Connection", "close");
  responder.writeBody(body);
  socket->disconnectFromHost();
}

}  // namespace notecast::host
