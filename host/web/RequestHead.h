#pragma once
// The head of one HTTP request as it arrived, looked at before the web server parses it, so that
// what the server would take without a bound (a head of any size, a body of any length) is
// refused first with the status that says why.

#include <QByteArray>
#include <optional>

namespace notecast::host {

struct RequestHeadLimits {
  static constexpr qsizetype kMaxHeadBytes = 8192;  // request line and headers
  static constexpr qsizetype kMaxTargetBytes = 2048;
  static constexpr qsizetype kMaxBodyBytes = 1024;  // the page's actions send none
  static constexpr int kMaxHeaderLines = 64;
};

struct HeadRefusal {
  int status = 400;
  QByteArray reason;  // one line for the client and the log
};

struct RequestHead {
  QByteArray method;
  QByteArray target;        // as sent, "/fire?event=3"
  bool complete = false;    // the blank line that ends the head has come
  qsizetype headBytes = 0;  // with the blank line
};

// Looks at the bytes that came so far on a connection. Nothing yet decided (no refusal, and
// complete false): wait for more. A refusal: answer it and close.
struct HeadLook {
  RequestHead head;
  std::optional<HeadRefusal> refusal;
};
HeadLook lookAtHead(const QByteArray& received);

}  // namespace notecast::host
