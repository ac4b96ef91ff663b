#pragma once
// Debian's chromium, headless, driven through its DevTools protocol over a WebSocket of Qt's:
// a test opens a page, runs JavaScript in it and waits for what the page shows, as a person
// with a browser would see it. The browser runs in a profile folder of its own, resolves no name
// (every host name but 127.0.0.1 and localhost fails) and goes when the object goes.
//
// Contract: the thread of a Q(Core)Application; calls wait in a local event loop.

#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebSocket>
#include <chrono>
#include <memory>
#include <string>

namespace notecast::testing {

class HeadlessChromium {
 public:
  // Null when chromium is not installed or does not start, with the reason in *why.
  static std::unique_ptr<HeadlessChromium> start(std::string* why);
  ~HeadlessChromium();
  HeadlessChromium(const HeadlessChromium&) = delete;
  HeadlessChromium& operator=(const HeadlessChromium&) = delete;

  // Opens `url` in a new tab of `width` x `height` pixels, which later calls act in; false when
  // the browser did not do it.
  bool open(const QString& url, int width = 1200, int height = 900);
  // The value of the JavaScript `expression` in the tab (a promise is awaited); undefined when
  // it threw or the browser did not answer.
  QJsonValue evaluate(const QString& expression);
  // Evaluates `expression` until it is true, for at most `timeout`.
  bool waitFor(const QString& expression, std::chrono::milliseconds timeout);

 private:
  HeadlessChromium() = default;
  QJsonObject call(const QString& method, const QJsonObject& params = {}, bool inTab = true);

  QTemporaryDir profile_;
  QProcess process_;
  QWebSocket devTools_;
  int nextId_ = 1;
  QString session_;
};

}  // namespace notecast::testing
