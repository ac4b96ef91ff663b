#pragma once
// Where the OLA daemon of an "ola:" source listens: "HOST[:PORT]" after the universes
// ("ola:1,2@192.168.1.20:9010"), by default 127.0.0.1:9010. HOST is an IPv4 address or a name;
// IPv6 is not supported (OLA's clients speak IPv4 only).
//
// Contract: none; a plain value.

#include <QString>
#include <cstdint>

namespace notecast::host {

struct OlaDaemonAddress {
  static constexpr std::uint16_t kDefaultPort = 9010;
  static constexpr const char* kDefaultHost = "127.0.0.1";

  QString host = QString::fromLatin1(kDefaultHost);  // as given: an IPv4 address or a name
  std::uint16_t port = kDefaultPort;

  // "HOST" or "HOST:PORT". Throws std::invalid_argument with a readable reason for a host that
  // is neither an IPv4 address nor a name, an IPv6 address, or a port out of 1..65535. Looks
  // nothing up.
  static OlaDaemonAddress parse(const QString& text);

  bool isDefault() const { return host == QLatin1String(kDefaultHost) && port == kDefaultPort; }
  // "HOST:PORT".
  QString toString() const { return host + QLatin1Char(':') + QString::number(port); }
  // The IPv4 address of the host in host byte order, a name looked up now through the system's
  // resolver (/etc/hosts, DNS), which may take a while. Throws std::invalid_argument naming the
  // host when it has no IPv4 address.
  std::uint32_t resolve() const;
};

}  // namespace notecast::host
