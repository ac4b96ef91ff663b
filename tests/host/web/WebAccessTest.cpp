// Who may use the page, what --web takes, and which request heads are refused before Qt's
// server reads them.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <stdexcept>

#include "host/session/HostError.h"
#include "host/web/RequestHead.h"
#include "host/web/WebAccess.h"

namespace notecast::host {
namespace {

TEST(WebAccessTest, TheAddressIsAPortWithAnOptionalAddress) {
  const struct {
    const char* text;
    const char* listens;
    bool loopback;
  } accepted[] = {
      {"8080", "127.0.0.1:8080", true},       {"0", "127.0.0.1:0", true},
      {"localhost:80", "127.0.0.1:80", true}, {"0.0.0.0:8080", "0.0.0.0:8080", false},
      {"[::1]:9", "[::1]:9", true},           {"192.168.1.5:65535", "192.168.1.5:65535", false},
  };
  for (const auto& row : accepted) {
    const WebAddress address = parseWebAddress(row.text);
    EXPECT_EQ(address.text(), row.listens) << row.text;
    EXPECT_EQ(address.loopback(), row.loopback) << row.text;
  }
  for (const char* refused : {"", "http", "65536", "-1", "80a", ":80", "::1:80", "[1.2.3.4]:80",
                              "host.example:80", "8080:"})
    EXPECT_THROW(parseWebAddress(refused), std::invalid_argument) << refused;
}

constexpr const char* kSecret = "0123456789abcdef-secret";

WebSecret secretFile(const QByteArray& content) {
  QTemporaryDir folder;
  QFile file(folder.filePath("secret"));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
  file.close();
  return WebSecret::readFrom(file.fileName());
}

TEST(WebAccessTest, EachRequestMeetsTheHostTheSecretAndTheOrigin) {
  const WebAccess local(parseWebAddress("8080"), std::nullopt);
  const WebAccess guarded(parseWebAddress("0.0.0.0:8080"), secretFile(kSecret + QByteArray("\n")));
  const QByteArray page = "http://127.0.0.1:8080";
  const struct {
    const WebAccess& access;
    AccessRequest request;
    int status;
  } rows[] = {
      {local, {"GET", "", "", "", "127.0.0.1:8080", ""}, 0},
      {local, {"GET", "", "", "", "localhost:8080", ""}, 0},
      {local, {"GET", "", "", "", "rebound.example:8080", ""}, 421},
      {local, {"GET", "", "", "", "127.0.0.1:9090", ""}, 421},
      {local, {"POST", "", "", "", "127.0.0.1:8080", page}, 0},
      {local, {"POST", "", "", "", "127.0.0.1:8080", ""}, 403},
      {local, {"POST", "", "", "", "127.0.0.1:8080", "http://evil.example"}, 403},
      {local, {"GET", "", "", "", "127.0.0.1:8080", "null"}, 403},
      {guarded, {"GET", "", "", "", "10.0.0.2:8080", ""}, 401},
      {guarded, {"GET", "wrong", "", "", "10.0.0.2:8080", ""}, 401},
      {guarded, {"GET", kSecret, "", "", "10.0.0.2:8080", ""}, 0},
      {guarded, {"GET", "", "a=1; notecast-web-8080=" + QByteArray(kSecret), "", "h:8080", ""}, 0},
      {guarded, {"GET", "", "notecast-web-9090=" + QByteArray(kSecret), "", "h:8080", ""}, 401},
      {guarded, {"GET", "", "", "Bearer " + QByteArray(kSecret), "h:8080", ""}, 0},
      {guarded, {"POST", kSecret, "", "", "h:8080", "http://h:8080"}, 0},
      {guarded, {"POST", kSecret, "", "", "h:8080", "https://h:8080"}, 0},
      {guarded, {"POST", kSecret, "", "", "h:8080", "http://evil.example"}, 403},
      {guarded, {"POST", "", "", "", "h:8080", "http://h:8080"}, 401},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.access.check(row.request).status, row.status)
        << row.request.method.toStdString() << " host " << row.request.host.toStdString()
        << " origin " << row.request.origin.toStdString() << " token "
        << row.request.queryToken.toStdString();
  EXPECT_EQ(guarded.cookieHeader(),
            "notecast-web-8080=" + QByteArray(kSecret) + "; Path=/; HttpOnly; SameSite=Strict");
  EXPECT_EQ(local.cookieHeader(), "");
}

TEST(WebAccessTest, ASecretIsMadeAnewOrReadWhole) {
  EXPECT_EQ(WebSecret::make().text().size(), 43);
  EXPECT_NE(WebSecret::make().text(), WebSecret::make().text());
  EXPECT_EQ(secretFile("  " + QByteArray(kSecret) + "  \nsecond line").text(), kSecret);
  for (const QByteArray& refused :
       {QByteArray(), QByteArray("short-secret"), QByteArray("a secret with blanks in it"),
        QByteArray("0123456789abcdef&x=1")})
    EXPECT_THROW(secretFile(refused), HostError) << refused.toStdString();
  EXPECT_THROW(WebSecret::readFrom("/no/such/secret"), HostError);
}

TEST(WebAccessTest, HeadsOutsideTheBoundsAreRefusedBeforeTheServerReadsThem) {
  const QByteArray host = "Host: 127.0.0.1\r\n";
  const struct {
    QByteArray received;
    int status;  // 0: complete and within bounds; -1: not complete yet
  } rows[] = {
      {"GET / HTTP/1.1\r\n" + host + "\r\n", 0},
      {"POST /fire?event=1 HTTP/1.1\r\n" + host + "Content-Length: 10\r\n\r\n", 0},
      {"GET / HTTP/1.1\r\n" + host, -1},
      {"GET / HT", -1},
      {"GET / HTTP/1.1\r\n" + host + "X: " + QByteArray(9000, 'x'), 431},
      {"GET / HTTP/1.1\r\n" + QByteArray("A: b\r\n").repeated(70) + "\r\n", 431},
      {"GET /" + QByteArray(3000, 'a'), 414},
      {"GET /" + QByteArray(3000, 'a') + " HTTP/1.1\r\n\r\n", 414},
      {"GET / HTTP/1.1\r\nContent-Length: 1025\r\n\r\n", 413},
      {"GET / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {"GET / HTTP/3\r\n\r\n", 505},
      {"GET  / HTTP/1.1\r\n\r\n", 400},
      {"GET http://elsewhere/ HTTP/1.1\r\n\r\n", 400},
      {"GET / HTTP/1.1\nHost: a\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nno colon\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\n folded\r\n\r\n", 400},
      {"G\x01T / HTTP/1.1\r\n\r\n", 400},
      {QByteArray("GET / HTTP/1.1\r\nX: a\x00"
                  "b\r\n\r\n",
                  26),
       400},
  };
  for (const auto& row : rows) {
    const HeadLook look = lookAtHead(row.received);
    const int status = look.refusal ? look.refusal->status : look.head.complete ? 0 : -1;
    EXPECT_EQ(status, row.status) << row.received.left(60).toStdString();
  }
  EXPECT_EQ(lookAtHead("POST /fire?event=1 HTTP/1.1\r\n\r\n").head.target, "/fire?event=1");
}

}  // namespace
}  // namespace notecast::host
