#include "host/web/RequestHead.h"

#include <QList>
#include <algorithm>

namespace notecast::host {
namespace {

using Limits = RequestHeadLimits;

bool tokenChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(const QByteArray& text) {
  return !text.isEmpty() && std::all_of(text.begin(), text.end(), tokenChar);
}

bool visibleText(const QByteArray& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte != 0x7f;
  });
}

HeadLook refuse(int status, const char* reason) {
  return {{}, HeadRefusal{status, reason}};
}

// The request line: "METHOD /target HTTP/1.1".
std::optional<HeadRefusal> checkRequestLine(const QByteArray& line, RequestHead& head) {
  const QList<QByteArray> parts = line.split(' ');
  if (parts.size() != 3 || !isToken(parts[0]) || !visibleText(parts[1]))
    return HeadRefusal{400, "the request line is not METHOD TARGET HTTP/1.1"};
  if (parts[1].size() > Limits::kMaxTargetBytes)
    return HeadRefusal{414, "the address is longer than 2048 bytes"};
  if (!parts[1].startsWith('/')) return HeadRefusal{400, "the address does not start with /"};
  if (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")
    return HeadRefusal{505, "only HTTP/1.1 and HTTP/1.0 are spoken here"};
  head.method = parts[0];
  head.target = parts[1];
  return std::nullopt;
}

std::optional<HeadRefusal> checkHeader(const QByteArray& line, std::optional<qint64>& length) {
  const qsizetype colon = line.indexOf(':');
  if (colon <= 0 || !isToken(line.left(colon)))
    return HeadRefusal{400, "a header line is not NAME: VALUE"};
  const QByteArray name = line.left(colon).toLower();
  const QByteArray value = line.mid(colon + 1).trimmed();
  const bool controlBytes = std::any_of(value.begin(), value.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\t') || byte == 0x7f;
  });
  if (controlBytes) return HeadRefusal{400, "a header holds control bytes"};
  if (name == "transfer-encoding")
    return HeadRefusal{411, "a body must come with a Content-Length, not in chunks"};
  if (name != "content-length") return std::nullopt;
  bool number = false;
  const qint64 bytes = value.toLongLong(&number);
  if (!number || bytes < 0 ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
      (length && *length != bytes))
    return HeadRefusal{400, "the Content-Length is not one number"};
  if (bytes > Limits::kMaxBodyBytes) return HeadRefusal{413, "the body is larger than 1024 bytes"};
  length = bytes;
  return std::nullopt;
}

}  // namespace

HeadLook lookAtHead(const QByteArray& received) {
  const qsizetype end = received.indexOf("\r\n\r\n");
  if (end < 0) {
    if (received.size() > Limits::kMaxHeadBytes)
      return refuse(431, "the request's head is larger than 8192 bytes");
    // A request line that can no longer become one is refused before its head is complete.
    const qsizetype lineEnd = received.indexOf("\r\n");
    if (lineEnd < 0 && received.size() > Limits::kMaxTargetBytes + 32)
      return refuse(414, "the address is longer than 2048 bytes");
    return {};
  }
  if (end + 4 > Limits::kMaxHeadBytes)
    return refuse(431, "the request's head is larger than 8192 bytes");
  const QList<QByteArray> lines = received.left(end).split('\n');
  if (lines.size() - 1 > Limits::kMaxHeaderLines)
    return refuse(431, "the request has more than 64 header lines");
  HeadLook look;
  std::optional<qint64> length;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QByteArray line = lines[i];
    if (!line.endsWith('\r') && i + 1 < lines.size())
      return refuse(400, "a line of the head does not end in CR LF");
    if (line.endsWith('\r')) line.chop(1);
    if (i > 0 && (line.startsWith(' ') || line.startsWith('\t')))
      return refuse(400, "a header is folded over lines");
    std::optional<HeadRefusal> refusal =
        i == 0 ? checkRequestLine(line, look.head) : checkHeader(line, length);
    if (refusal) return {{}, std::move(refusal)};
  }
  look.head.complete = true;
  look.head.headBytes = end + 4;
  return look;
}

}  // namespace notecast::host
