#include "host/dmx/OlaDaemonAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

namespace notecast::host {
namespace {

constexpr qsizetype kMaxNameLength = 253;
constexpr qsizetype kMaxLabelLength = 63;

[[noreturn]] void rejectAddress(const QString& reason) {
  throw std::invalid_argument(QStringLiteral("DMX source ola: %1").arg(reason).toStdString());
}

// Dotted IPv4 only: inet_pton takes neither "10.1" nor octal or hexadecimal parts.
std::optional<in_addr> ipv4Of(const QString& host) {
  in_addr address{};
  if (::inet_pton(AF_INET, host.toLatin1().constData(), &address) != 1) return std::nullopt;
  return address;
}

bool isDigitsAndDots(const QString& host) {
  return std::all_of(host.begin(), host.end(),
                     [](QChar c) { return c.isDigit() || c == QLatin1Char('.'); });
}

// Letters, digits, '-' and '_' in dot-separated labels, as resolvers and /etc/hosts take them.
bool isHostName(const QString& host) {
  if (host.size() > kMaxNameLength) return false;
  const QStringList labels = host.split(QLatin1Char('.'));
  return std::all_of(labels.begin(), labels.end(), [](const QString& label) {
    const auto allowed = [](QChar c) {
      return (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ||
             c == QLatin1Char('_');
    };
    return !label.isEmpty() && label.size() <= kMaxLabelLength &&
           std::all_of(label.begin(), label.end(), allowed) && !label.startsWith('-') &&
           !label.endsWith('-');
  });
}

}  // namespace

OlaDaemonAddress OlaDaemonAddress::parse(const QString& text) {
  if (text.startsWith(QLatin1Char('[')) || text.count(QLatin1Char(':')) > 1) {
    rejectAddress(
        QStringLiteral("\"%1\": IPv6 addresses are not supported; give an IPv4 address or a "
                       "host name")
            .arg(text));
  }
  const qsizetype colon = text.indexOf(QLatin1Char(':'));
  OlaDaemonAddress address;
  address.host = text.left(colon);
  if (address.host.isEmpty()) rejectAddress(QStringLiteral("no host after @"));
  const bool validHost =
      isDigitsAndDots(address.host) ? ipv4Of(address.host).has_value() : isHostName(address.host);
  if (!validHost) {
    rejectAddress(
        QStringLiteral("\"%1\" is neither an IPv4 address nor a host name").arg(address.host));
  }
  if (colon < 0) return address;
  const QString port = text.mid(colon + 1);
  bool ok = false;
  const uint number = port.toUInt(&ok);
  // toUInt accepts blanks and a sign around the digits; a port is digits only.
  const bool digitsOnly =
      !port.isEmpty() && std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); });
  if (!ok || !digitsOnly || number < 1 || number > 65535) {
    rejectAddress(QStringLiteral("port \"%1\" is not 1..65535").arg(port));
  }
  address.port = static_cast<std::uint16_t>(number);
  return address;
}

std::uint32_t OlaDaemonAddress::resolve() const {
  if (const auto literal = ipv4Of(host)) return ntohl(literal->s_addr);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int code = ::getaddrinfo(host.toLatin1().constData(), nullptr, &hints, &found);
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, &::freeaddrinfo);
  if (code != 0 || !found) {
    const char* reason = code == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(code);
    rejectAddress(QStringLiteral("cannot find the IPv4 address of host \"%1\": %2")
                      .arg(host, QString::fromLocal8Bit(reason)));
  }
  return ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
}

}  // namespace notecast::host
