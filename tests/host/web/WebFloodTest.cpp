// The page's server under a flood while the bridge plays a replay: malformed and oversized
// requests each get their 4xx, connections and watchers past the bounds are turned away, clients
// that stall are closed, and every MIDI message of the replay still arrives.

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <vector>

#include "tests/host/web/WebBridgeFixture.h"

namespace notecast::host {
namespace {

constexpr int kConnectionBound = 32;  // ConnectionGate::kMaxConnections
constexpr int kWatcherBound = 16;     // LiveFeed::kMaxWatchers

// Lets the test's own sockets work for `ms`.
void spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// The status of the answer to `request`, sent on a connection of its own; 0 for none.
int statusOf(int port, const QByteArray& request) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
  if (!socket.waitForConnected(3000)) return 0;
  socket.write(request);
  QByteArray answer;
  while (socket.waitForReadyRead(3000)) answer += socket.readAll();
  return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
}

class WebFloodTest : public WebBridgeFixture {};

TEST_F(WebFloodTest, FloodsAndCrowdsAreTurnedAwayAndTheMidiIsUndisturbed) {
  constexpr int kFrames = 500;  // 10 s
  startHost("replay:" + files_.writeFile("show.show", showFile(kFrames)));
  const HostRun second = files_.run({"--plugin", HostProcess::pluginPath(), "--project", project_,
                                     "--headless", "--web", QString::number(port_)});
  EXPECT_EQ(second.exitCode, 1);
  EXPECT_TRUE(second.err.contains("--web 127.0.0.1:" + QString::number(port_) +
                                  ": cannot listen: the port " + QString::number(port_) +
                                  " is in use by another program; choose another"))
      << second.err.toStdString();
  const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(port_) + "\r\n";
  const std::vector<std::pair<QByteArray, int>> requests{
      {"GET / HTTP/1.1\r\n" + host + "\r\n", 200},
      {"GARBAGE\r\n\r\n", 400},
      {QByteArray("\x00\x01\x02\xff binary\r\n\r\n", 15), 400},
      {"GET / HTTP/1.1\r\n" + host + "no colon here\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\n" + host + " folded: x\r\n\r\n", 400},
      {"GET / HTTP/2.0\r\n" + host + "\r\n", 505},
      {"GET /" + QByteArray(5000, 'a') + " HTTP/1.1\r\n" + host + "\r\n", 414},
      {"GET / HTTP/1.1\r\n" + host + "X-Big: " + QByteArray(10000, 'b') + "\r\n\r\n", 431},
      {"POST /reload HTTP/1.1\r\n" + host + "Content-Length: 1000000000\r\n\r\n", 413},
      {"POST /reload HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n", 411},
      {"GET /../../etc/passwd HTTP/1.1\r\n" + host + "\r\n", 404},
      {"GET /%2e%2e/page.js HTTP/1.1\r\n" + host + "\r\n", 404},
      {"DELETE / HTTP/1.1\r\n" + host + "\r\n", 405},
      {"POST /fire?event=4 HTTP/1.1\r\n" + host + "Origin: http://evil.example\r\n\r\n", 403},
      {"GET / HTTP/1.1\r\nHost: evil.example\r\n\r\n", 421},
  };
  for (int round = 0; round < 10; ++round)
    for (const auto& [request, status] : requests)
      ASSERT_EQ(statusOf(port_, request), status) << request.left(60).toStdString();

  // More pages than may watch: the rest are turned away, and those watching hear the bridge.
  std::vector<std::unique_ptr<QWebSocket>> watchers;
  int pushes = 0;
  for (int i = 0; i < kWatcherBound + 4; ++i) {
    watchers.push_back(std::make_unique<QWebSocket>());
    QObject::connect(watchers.back().get(), &QWebSocket::textMessageReceived,
                     [&pushes] { ++pushes; });
    watchers.back()->open(QUrl("ws://127.0.0.1:" + QString::number(port_) + "/live"));
  }
  const auto inState = [&](QAbstractSocket::SocketState state) {
    return std::count_if(watchers.begin(), watchers.end(),
                         [state](const auto& watcher) { return watcher->state() == state; });
  };
  const auto watching = [&] { return inState(QAbstractSocket::ConnectedState); };
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        spin(20);
        return watching() == kWatcherBound && inState(QAbstractSocket::UnconnectedState) == 4;
      },
      5s))
      << watching() << "\n"
      << hostErrors().toStdString();
  spin(100);

  // A crowd on top of them: connections up to the bound that never send a whole request, then
  // more.
  std::vector<std::unique_ptr<QTcpSocket>> crowd;
  const int stalling = kConnectionBound - kWatcherBound;
  for (int i = 0; i < stalling + 8; ++i) {
    crowd.push_back(std::make_unique<QTcpSocket>());
    crowd.back()->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port_));
    crowd.back()->waitForConnected(3000);
    crowd.back()->write("GET / HTTP/1.1\r\n");  // and nothing more
  }
  const auto answeredWith = [&](const QByteArray& status) {
    return std::count_if(crowd.begin(), crowd.end(), [&](const auto& socket) {
      socket->waitForReadyRead(0);
      return socket->peek(12).startsWith("HTTP/1.1 " + status);
    });
  };
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        spin(20);
        return answeredWith("503") == 8;
      },
      3s))
      << answeredWith("503") << hostErrors().toStdString();
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        spin(50);
        return answeredWith("408") == stalling;
      },
      8s))
      << answeredWith("408") << " of " << stalling << "\n"
      << hostErrors().toStdString();
  EXPECT_EQ(watching(), kWatcherBound);
  EXPECT_GT(pushes, kWatcherBound * 5) << "hello, events and state, then the state each second";

  // Pages that leave free their places: as many watch again, and a request is still answered.
  crowd.clear();
  for (auto& watcher : watchers) watcher->open(QUrl(watcher->requestUrl()));
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        spin(20);
        return watching() == kWatcherBound;
      },
      5s));
  EXPECT_EQ(statusOf(port_, "GET / HTTP/1.1\r\n" + host + "\r\n"), 200);

  ASSERT_TRUE(testing::waitUntil(
      [&] {
        spin(50);
        return host_.state() == QProcess::NotRunning;
      },
      20s))
      << hostErrors().toStdString();
  EXPECT_EQ(host_.exitCode(), 0) << hostErrors().toStdString();
  const QString log = hostErrors();
  EXPECT_TRUE(
      log.contains(QRegularExpression("web: \\d+ more requests refused, not told one by one")))
      << log.toStdString();
  EXPECT_LT(log.count("refused ("), 40) << "a flood is counted, not told line by line";

  expectDelivered(kFrames * kChannels);
}

}  // namespace
}  // namespace notecast::host
