#include "host/web/WebAccess.h"

namespace notecast::host {
namespace {

QByteArray cookieValue(const QByteArray& cookies, const QByteArray& name) {
  for (const QByteArray& pair : cookies.split(';')) {
    const QByteArray trimmed = pair.trimmed();
    if (trimmed.startsWith(name + '=')) return trimmed.mid(name.size() + 1);
  }
  return {};
}

}  // namespace

WebAccess::WebAccess(const WebAddress& listening, std::optional<WebSecret> secret)
    : listening_(listening),
      secret_(std::move(secret)),
      // One cookie per port: two bridges on one machine keep their secrets apart.
      cookieName_("notecast-web-" + QByteArray::number(listening.port)) {
  if (!listening.loopback()) return;
  const QByteArray port = ':' + QByteArray::number(listening.port);
  loopbackHosts_ = {"127.0.0.1" + port, "localhost" + port, "[::1]" + port};
  if (listening.port == 80) loopbackHosts_ += {"127.0.0.1", "localhost", "[::1]"};
}

bool WebAccess::hasSecret(const AccessRequest& request) const {
  const QByteArray bearer = "bearer ";
  const QByteArray authorization = request.authorization.trimmed();
  const QByteArray candidates[] = {
      request.queryToken,
      cookieValue(request.cookie, cookieName_),
      authorization.toLower().startsWith(bearer) ? authorization.mid(bearer.size()).trimmed()
                                                 : QByteArray(),
  };
  for (const QByteArray& candidate : candidates)
    if (!candidate.isEmpty() && secret_->matches(candidate)) return true;
  return false;
}

AccessVerdict WebAccess::check(const AccessRequest& request) const {
  const QByteArray host = request.host.toLower();
  if (!loopbackHosts_.isEmpty() && !loopbackHosts_.contains(host))
    return {421, "this page answers this machine only: open it as http://" +
                     loopbackHosts_.front() + "/"};
  if (secret_ && !hasSecret(request))
    return {401,
            "this page needs its secret: open the address notecast-host printed at its "
            "start"};
  // The page's own origin: its address as the browser reached it, directly or through a TLS proxy.
  const QByteArray origin = request.origin.toLower();
  if (!origin.isEmpty() && origin != "http://" + host && origin != "https://" + host)
    return {403, "a page of another site (" + request.origin + ") may not use this bridge"};
  if (request.method == "POST" && request.origin.isEmpty())
    return {403, "an action must come from the page (it sends no Origin)"};
  return {};
}

QByteArray WebAccess::cookieHeader() const {
  if (!secret_) return {};
  return cookieName_ + '=' + secret_->text() + "; Path=/; HttpOnly; SameSite=Strict";
}

QByteArray WebAccess::addressQuery() const {
  return secret_ ? "?token=" + secret_->text() : QByteArray();
}

}  // namespace notecast::host
