#pragma once
// Where the web page listens, as --web takes it: "[ADDRESS:]PORT". ADDRESS is an IPv4 address,
// an IPv6 address in brackets ("[::1]:8080") or "localhost"; without it the page answers this
// machine only (127.0.0.1). PORT 0 lets the system choose one, which the start-up line tells.

#include <QHostAddress>
#include <QString>
#include <cstdint>

namespace notecast::host {

struct WebAddress {
  QHostAddress address;
  std::uint16_t port = 0;

  // The loopback addresses answer this machine only, and need no secret.
  bool loopback() const { return address.isLoopback(); }
  // "127.0.0.1:8080", "[::1]:8080"
  QString text() const;
};

// Throws std::invalid_argument with the reason for text that is not "[ADDRESS:]PORT".
WebAddress parseWebAddress(const QString& text);

}  // namespace notecast::host
