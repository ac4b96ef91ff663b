#pragma once
// The secret a page on an address other than the loopback's needs: made anew at each start, or
// read from --web-token-file so that a bookmark keeps working across restarts. It travels in the
// page's address (?token=), then in a cookie the page gets with it, or in an
// "Authorization: Bearer" header; it is compared in constant time.

#include <QByteArray>
#include <QString>

namespace notecast::host {

class WebSecret {
 public:
  // The shortest secret a file may give, in characters.
  static constexpr int kMinLength = 16;

  // 32 random bytes from the system's source, as URL-safe base64 (43 characters).
  static WebSecret make();
  // The first line of `path`, without surrounding blanks. Throws HostError when the file cannot
  // be read, or the secret is shorter than kMinLength or holds characters other than letters,
  // digits and "-._~" (it goes into addresses and cookies as it is).
  static WebSecret readFrom(const QString& path);

  const QByteArray& text() const noexcept { return text_; }
  bool matches(const QByteArray& candidate) const noexcept;

 private:
  explicit WebSecret(QByteArray text) : text_(std::move(text)) {}

  QByteArray text_;
};

}  // namespace notecast::host
