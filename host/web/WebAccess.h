#pragma once
// Who may use the page: the rules every request meets before it is answered, in this order.
//  1. On a loopback address the request must name this machine (Host: 127.0.0.1, localhost or
//     [::1] with the port): a foreign name there is another site's page reaching the bridge
//     through a name it points at 127.0.0.1 (DNS rebinding), refused with 421.
//  2. Where there is a secret (any other address, or a --web-token-file), a request without it
//     gets 401. It comes in the address (?token=), the page's cookie or an
//     "Authorization: Bearer" header.
//  3. A request that says where it comes from (Origin) must come from the page itself (403);
//     an action (POST) must say it, so another site open in the same browser cannot fire one.
// Pure: tested without a server.

#include <QByteArray>
#include <QStringList>
#include <optional>

#include "host/web/WebAddress.h"
#include "host/web/WebSecret.h"

namespace notecast::host {

struct AccessRequest {
  QByteArray method;         // "GET", "POST"
  QByteArray queryToken;     // ?token=, as sent
  QByteArray cookie;         // the Cookie header
  QByteArray authorization;  // the Authorization header
  QByteArray host;           // the Host header
  QByteArray origin;         // the Origin header; empty when not sent
};

struct AccessVerdict {
  int status = 0;  // 0: allowed; else the HTTP status of the refusal
  QByteArray reason;
  bool allowed() const noexcept { return status == 0; }
};

class WebAccess {
 public:
  // `listening`: the address and the port the page listens on (after the system chose one).
  WebAccess(const WebAddress& listening, std::optional<WebSecret> secret);

  AccessVerdict check(const AccessRequest& request) const;
  bool needsSecret() const noexcept { return secret_.has_value(); }
  // "Set-Cookie" for a page that came with the secret in its address: later requests carry it.
  QByteArray cookieHeader() const;
  // ?token=SECRET, or nothing without a secret.
  QByteArray addressQuery() const;

 private:
  bool hasSecret(const AccessRequest& request) const;

  WebAddress listening_;
  std::optional<WebSecret> secret_;
  QByteArray cookieName_;
  QList<QByteArray> loopbackHosts_;  // empty: any Host
};

}  // namespace notecast::host
