// The bridge's page in a real browser (Debian's chromium, headless, driven through its DevTools
// protocol): it follows a replay, fires a shared event and reloads the project, refuses a
// missing or wrong secret and another site's requests, and says when the bridge has gone.
// Skipped where chromium is not installed.

#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include "tests/host/web/WebBridgeFixture.h"
#include "tests/support/HeadlessChromium.h"

namespace notecast::host {
namespace {

using testing::HeadlessChromium;

constexpr auto kPageWait = 10s;

// Another site on this machine: any request gets a blank page of its own, whose script the test
// then runs against the bridge.
class OtherSite {
 public:
  OtherSite() {
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
          if (!socket->readAll().contains("\r\n\r\n")) return;
          socket->write(
              "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 16\r\n"
              "Connection: close\r\n\r\n<p>elsewhere</p>");
          socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  QString address() const { return "http://127.0.0.1:" + QString::number(server_.serverPort()); }

 private:
  QTcpServer server_;
};

class WebPageTest : public WebBridgeFixture {
 protected:
  static void SetUpTestSuite() { browser_ = HeadlessChromium::start(&whyNoBrowser_).release(); }
  static void TearDownTestSuite() {
    delete browser_;
    browser_ = nullptr;
  }
  void SetUp() override {
    if (!browser_) GTEST_SKIP() << whyNoBrowser_;
    WebBridgeFixture::SetUp();
  }

  // Opens `url` and waits until the page watches the bridge.
  void openLive(const QString& url) {
    ASSERT_TRUE(browser_->open(url));
    ASSERT_TRUE(page("document.body.dataset.bridge === 'live'")) << text("body").toStdString();
  }
  bool page(const QString& condition) { return browser_->waitFor(condition, kPageWait); }
  QString text(const QString& selector) {
    return browser_
        ->evaluate("(document.querySelector('" + selector + "') || {}).textContent || ''")
        .toString();
  }
  qint64 number(const QString& id) {
    return text('#' + id).remove(QRegularExpression("[^0-9]")).toLongLong();
  }
  QStringList lines(const QString& list) {
    QStringList found;
    for (const QJsonValue& line : browser_
                                      ->evaluate("[...document.querySelectorAll('#" + list +
                                                 " li')].map(li => "
                                                 "li.textContent)")
                                      .toArray())
      found << line.toString();
    return found;
  }

  static HeadlessChromium* browser_;
  static std::string whyNoBrowser_;
};

HeadlessChromium* WebPageTest::browser_ = nullptr;
std::string WebPageTest::whyNoBrowser_;

TEST_F(WebPageTest, ThePageFollowsAReplay) {
  constexpr int kFrames = 250;
  startHost("replay:" + files_.writeFile("show.show", showFile(kFrames)));
  openLive(address_);
  EXPECT_EQ(text("#project"), project_);
  EXPECT_TRUE(text("#version").startsWith("notecast-host ")) << text("#version").toStdString();
  EXPECT_TRUE(page("document.querySelector('#dmx-state').textContent === 'running'"));
  // The replay ends, and the run with it: the page shows the last of it.
  ASSERT_TRUE(host_.waitForFinished(15000)) << hostErrors().toStdString();
  ASSERT_TRUE(page("document.body.dataset.bridge === 'gone'"));
  EXPECT_EQ(text("#notice"), "the bridge has stopped");
  EXPECT_EQ(text("#dmx-state"), "ended");
  EXPECT_EQ(number("dmx-frames"), kFrames);
  EXPECT_EQ(number("dmx-changes"), kFrames * kChannels);
  EXPECT_EQ(number("midi-sent"), kFrames * kChannels);
  EXPECT_EQ(text("#midi-state"), "open");
  EXPECT_EQ(text("#midi-name"), QString::fromStdString(counter_->portName()));

  // Newest first, as --monitor words them: the last frame's channel 4, then its channel 3.
  const QStringList shown = lines("messages");
  ASSERT_GE(shown.size(), 2);
  const int last = ((kFrames - 1) * 2 + 4) % 256 / 2;
  const QRegularExpression monitorLine(
      QString("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  b0 04 %1  control change  ch 1  controller 4  "
              "value %2$")
          .arg(last, 2, 16, QChar('0'))
          .arg(last));
  EXPECT_TRUE(monitorLine.match(shown[0]).hasMatch()) << shown[0].toStdString();
  EXPECT_TRUE(shown[1].contains("controller 3")) << shown[1].toStdString();

  const QStringList events = lines("events");
  ASSERT_EQ(events.size(), kChannels + 1);
  EXPECT_EQ(events[0],
            "Chan: 1, Typ: 4, MSG: B0, Data1: 1, Data2: 0, Value: 255, NoteOff: No, Once: No, "
            "Share: No, Name: ");
  EXPECT_TRUE(events.last().endsWith("Share: Yes, Name: Blackout")) << events.last().toStdString();
  expectDelivered(kFrames * kChannels);
}

TEST_F(WebPageTest, AFiredSharedEventArrivesAsMidiAndReloadLoadsTheEventFile) {
  startHost("stdin");
  openLive(address_);
  ASSERT_TRUE(page("document.querySelector('#commands button') !== null"));
  EXPECT_EQ(text("#commands button"), "Blackout");
  browser_->evaluate("document.querySelector('#commands button').click()");
  ASSERT_TRUE(testing::waitUntil([&] { return counter_->lastMessage() == kBlackout; }, kPageWait))
      << std::hex << counter_->lastMessage() << "\n"
      << hostErrors().toStdString();
  EXPECT_TRUE(page("document.querySelector('#notice').textContent === 'fired Blackout'"))
      << text("#notice").toStdString();

  files_.writeFile("show.Notecast", eventFile(kChannels + 2));
  browser_->evaluate("document.querySelector('#reload').click()");
  EXPECT_TRUE(
      page("/^reloaded the project .*: 7 events$/.test("
           "document.querySelector('#notice').textContent)"))
      << text("#notice").toStdString();
  EXPECT_TRUE(page("document.querySelectorAll('#events li').length === 7"));
}

TEST_F(WebPageTest, AMissingOrWrongSecretAndAnotherSiteAreRefused) {
  const QString secret = "a-secret-of-the-tests-0123456789";
  startHost("stdin", "127.0.0.1:0",
            {"--web-token-file", files_.writeFile("secret.txt", secret.toUtf8() + "\n")});
  ASSERT_TRUE(address_.endsWith("/?token=" + secret)) << address_.toStdString();
  for (const QString& wrong : {pageOrigin() + "/", pageOrigin() + "/?token=not-" + secret}) {
    ASSERT_TRUE(browser_->open(wrong));
    EXPECT_TRUE(page("document.body.textContent.includes('this page needs its secret')"))
        << wrong.toStdString() << ": " << text("body").toStdString();
  }
  openLive(address_);
  EXPECT_EQ(browser_->evaluate("location.search").toString(), "") << "the secret left the address";
  browser_->evaluate("location.reload()");  // the cookie carries it now
  ASSERT_TRUE(page("document.body.dataset.bridge === 'live'"));

  // Another site open in the same browser knows the secret, even: its requests are refused.
  const OtherSite elsewhere;
  ASSERT_TRUE(browser_->open(elsewhere.address() + "/"));
  ASSERT_TRUE(page("document.body.textContent === 'elsewhere'"));
  const QString foreign = pageOrigin() + "/fire?event=4&token=" + secret;
  browser_->evaluate("fetch('" + foreign + "', {method: 'POST', mode: 'no-cors'}).catch(() => 0)");
  EXPECT_EQ(browser_
                ->evaluate("new Promise(done => { const s = new WebSocket('ws://127.0.0.1:" +
                           QString::number(port_) + "/live?token=" + secret +
                           "'); s.onopen = () => done('open'); s.onclose = () => "
                           "done('refused'); })")
                .toString(),
            "refused");
  ASSERT_TRUE(testing::waitUntil(
      [&] { return hostErrors().count("refused (403): a page of another site") >= 2; }, kPageWait))
      << hostErrors().toStdString();
  EXPECT_EQ(counter_->messages(), 0) << "the other site fired nothing";
}

TEST_F(WebPageTest, ThePageSaysWhenTheBridgeHasGoneAndFindsItAgain) {
  startHost("stdin");
  openLive(address_);
  ASSERT_EQ(stopHost(), 0);
  ASSERT_TRUE(page("document.body.dataset.bridge === 'gone'"));
  EXPECT_TRUE(text("#bridge").startsWith("The bridge has gone")) << text("#bridge").toStdString();
  startHost("stdin", "127.0.0.1:" + QString::number(port_));
  EXPECT_TRUE(page("document.body.dataset.bridge === 'live'")) << text("#bridge").toStdString();
}

}  // namespace
}  // namespace notecast::host
