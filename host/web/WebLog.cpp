#include "host/web/WebLog.h"

namespace notecast::host {

WebLog::WebLog(Sink sink) : sink_(std::move(sink)) {
  flushTimer_.setSingleShot(true);
  connect(&flushTimer_, &QTimer::timeout, this, &WebLog::flush);
}

void WebLog::refused(const QHostAddress& peer, const QByteArray& request, int status,
                     const QByteArray& reason) {
  if (!window_.isValid() || window_.hasExpired(kWindowMs)) {
    flush();
    window_.start();
    lines_ = 0;
  }
  if (lines_ >= kLinesPerWindow) {
    ++suppressed_;
    if (!flushTimer_.isActive()) flushTimer_.start(static_cast<int>(kWindowMs - window_.elapsed()));
    return;
  }
  ++lines_;
  // What the peer sent is shown as printable text only, and short.
  QByteArray shown = request.left(80);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
  note(peer.toString().toStdString() + " " + shown.toStdString() + " refused (" +
       std::to_string(status) + "): " + reason.toStdString());
}

void WebLog::flush() {
  if (suppressed_ == 0) return;
  note(std::to_string(suppressed_) + " more requests refused, not told one by one");
  suppressed_ = 0;
}

}  // namespace notecast::host
