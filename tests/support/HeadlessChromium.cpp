#include "tests/support/HeadlessChromium.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace notecast::testing {
namespace {

constexpr int kStartMs = 30000;
constexpr int kCallMs = 15000;
constexpr int kPollMs = 100;

QString findChromium() {
  for (const char* name : {"chromium", "chromium-browser"}) {
    const QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty()) return path;
  }
  return {};
}

}  // namespace

std::unique_ptr<HeadlessChromium> HeadlessChromium::start(std::string* why) {
  const QString program = findChromium();
  if (program.isEmpty()) {
    *why = "chromium is not installed (apt-get install chromium)";
    return nullptr;
  }
  std::unique_ptr<HeadlessChromium> browser(new HeadlessChromium);
  browser->process_.setStandardOutputFile(QProcess::nullDevice());
  browser->process_.setStandardErrorFile(browser->profile_.filePath("stderr.txt"));
  browser->process_.start(
      program,
      {"--headless=new", "--remote-debugging-port=0", "--user-data-dir=" + browser->profile_.path(),
       // As root (CI) chromium's own sandbox cannot start.
       "--no-sandbox", "--disable-gpu", "--no-first-run", "--no-default-browser-check",
       "--disable-extensions", "--disable-background-networking", "--disable-sync",
       "--disable-component-update", "--disable-default-apps", "--no-pings", "--disable-breakpad",
       "--disable-domain-reliability", "--metrics-recording-only",
       "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1, EXCLUDE localhost",
       "about:blank"});
  if (!browser->process_.waitForStarted()) {
    *why = "chromium did not start: " + browser->process_.errorString().toStdString();
    return nullptr;
  }
  // Chromium writes the port it took, and its browser's path, into the profile.
  QFile active(browser->profile_.filePath("DevToolsActivePort"));
  QElapsedTimer waited;
  waited.start();
  QList<QByteArray> lines;
  while (lines.size() < 2 && !waited.hasExpired(kStartMs)) {
    QThread::msleep(kPollMs);
    if (active.open(QIODevice::ReadOnly)) {
      lines = active.readAll().trimmed().split('\n');
      active.close();
    }
  }
  if (lines.size() < 2) {
    *why = "chromium did not open its DevTools port";
    return nullptr;
  }
  const QUrl url("ws://127.0.0.1:" + lines[0].trimmed() + lines[1].trimmed());
  QEventLoop loop;
  QObject::connect(&browser->devTools_, &QWebSocket::connected, &loop, &QEventLoop::quit);
  QTimer::singleShot(kStartMs, &loop, &QEventLoop::quit);
  browser->devTools_.open(url);
  loop.exec();
  if (browser->devTools_.state() != QAbstractSocket::ConnectedState) {
    *why = "cannot reach chromium's DevTools at " + url.toString().toStdString();
    return nullptr;
  }
  return browser;
}

HeadlessChromium::~HeadlessChromium() {
  if (devTools_.state() == QAbstractSocket::ConnectedState) call("Browser.close", {}, false);
  devTools_.abort();
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished();
  }
}

QJsonObject HeadlessChromium::call(const QString& method, const QJsonObject& params, bool inTab) {
  const int id = nextId_++;
  QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
  if (inTab && !session_.isEmpty()) message.insert("sessionId", session_);
  QJsonObject answer;
  QEventLoop loop;
  const auto connection = QObject::connect(
      &devTools_, &QWebSocket::textMessageReceived, &loop, [&](const QString& text) {
        const QJsonObject received = QJsonDocument::fromJson(text.toUtf8()).object();
        if (received.value("id").toInt() != id) return;  // an event, or another call's answer
        answer = received;
        loop.quit();
      });
  QObject::connect(&devTools_, &QWebSocket::disconnected, &loop, &QEventLoop::quit);
  QTimer::singleShot(kCallMs, &loop, &QEventLoop::quit);
  devTools_.sendTextMessage(
      QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
  loop.exec();
  QObject::disconnect(connection);
  return answer.value("result").toObject();
}

bool HeadlessChromium::open(const QString& url, int width, int height) {
  const QString target =
      call("Target.createTarget", {{"url", "about:blank"}}, false).value("targetId").toString();
  if (target.isEmpty()) return false;
  session_ = call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}}, false)
                 .value("sessionId")
                 .toString();
  if (session_.isEmpty()) return false;
  call("Emulation.setDeviceMetricsOverride",
       {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", width < 600}});
  return call("Page.navigate", {{"url", url}}).contains("frameId");
}

QJsonValue HeadlessChromium::evaluate(const QString& expression) {
  const QJsonObject result =
      call("Runtime.evaluate",
           {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}});
  if (result.contains("exceptionDetails")) return QJsonValue(QJsonValue::Undefined);
  return result.value("result").toObject().value("value");
}

bool HeadlessChromium::waitFor(const QString& expression, std::chrono::milliseconds timeout) {
  QElapsedTimer waited;
  waited.start();
  while (!waited.hasExpired(timeout.count())) {
    if (evaluate(expression).toBool()) return true;
    QEventLoop pause;
    QTimer::singleShot(kPollMs, &pause, &QEventLoop::quit);
    pause.exec();
  }
  return false;
}

}  // namespace notecast::testing
