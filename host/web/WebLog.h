#pragma once
// The web page's lines in the host's log (standard error): each refused request, one line, with
// the peer, what it asked and why. A flood of them says the first few and then how many more, so
// the log stays readable and writing it costs little.
//
// Contract: main thread.

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

namespace notecast::host {

class WebLog : public QObject {
  Q_OBJECT

 public:
  using Sink = std::function<void(const std::string&)>;

  static constexpr int kLinesPerWindow = 10;
  static constexpr int kWindowMs = 10000;

  explicit WebLog(Sink sink);

  // "web: 127.0.0.1 GET /x refused (404): no such page"
  void refused(const QHostAddress& peer, const QByteArray& request, int status,
               const QByteArray& reason);
  // A line that always goes out ("web: 17 pages watch; a new one is turned away").
  void note(const std::string& line) { sink_("web: " + line); }
  // Tells how many refusals were not told one by one since the last line that did.
  void flush();

 private:
  Sink sink_;
  QElapsedTimer window_;
  int lines_ = 0;
  qint64 suppressed_ = 0;
  QTimer flushTimer_;
};

}  // namespace notecast::host
