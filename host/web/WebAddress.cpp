#include "host/web/WebAddress.h"

#include <algorithm>
#include <stdexcept>

namespace notecast::host {
namespace {

constexpr int kMaxPort = 65535;

std::uint16_t portOf(const QString& text) {
  bool number = false;
  const int port = text.toInt(&number);
  const bool digitsOnly =
      !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
  if (!number || !digitsOnly || port > kMaxPort)
    throw std::invalid_argument("the port must be a number from 0 to 65535, not \"" +
                                text.toStdString() + "\"");
  return static_cast<std::uint16_t>(port);
}

QHostAddress hostOf(QString text) {
  if (text.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
    return QHostAddress(QHostAddress::LocalHost);
  const bool bracketed = text.startsWith('[') && text.endsWith(']');
  if (bracketed) text = text.mid(1, text.size() - 2);
  QHostAddress address;
  // An IPv6 address needs its brackets, so that its colons are not taken for the port's.
  if (!address.setAddress(text) ||
      (address.protocol() == QAbstractSocket::IPv6Protocol) != bracketed)
    throw std::invalid_argument("\"" + text.toStdString() +
                                "\" is no IPv4 address, [IPv6 address] or localhost");
  return address;
}

}  // namespace

QString WebAddress::text() const {
  const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                           ? '[' + address.toString() + ']'
                           : address.toString();
  return host + ':' + QString::number(port);
}

WebAddress parseWebAddress(const QString& text) {
  const qsizetype colon = text.lastIndexOf(':');
  if (colon < 0) return {QHostAddress(QHostAddress::LocalHost), portOf(text)};
  return {hostOf(text.left(colon)), portOf(text.mid(colon + 1))};
}

}  // namespace notecast::host
