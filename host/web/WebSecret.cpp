#include "host/web/WebSecret.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <array>

#include "host/session/HostError.h"

namespace notecast::host {
namespace {

constexpr int kRandomWords = 8;  // 32 bytes
constexpr qint64 kMaxLineBytes = 4096;

bool urlSafe(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

WebSecret WebSecret::make() {
  std::array<quint32, kRandomWords> words{};
  QRandomGenerator::system()->fillRange(words.data(), words.size());
  const QByteArray bytes(reinterpret_cast<const char*>(words.data()),
                         static_cast<qsizetype>(sizeof words));
  return WebSecret(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

WebSecret WebSecret::readFrom(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw HostError("--web-token-file: cannot read " + path.toStdString() + ": " +
                    file.errorString().toStdString());
  const QByteArray secret = file.readLine(kMaxLineBytes).trimmed();
  if (secret.size() < kMinLength || !std::all_of(secret.begin(), secret.end(), urlSafe))
    throw HostError("--web-token-file: " + path.toStdString() +
                    " must hold a secret of at least 16 letters, digits or -._~ on its first "
                    "line");
  return WebSecret(secret);
}

bool WebSecret::matches(const QByteArray& candidate) const noexcept {
  // Every byte is looked at whatever the first difference, so the time taken tells nothing.
  unsigned difference = candidate.size() == text_.size() ? 0U : 1U;
  for (qsizetype i = 0; i < text_.size(); ++i) {
    const char given = i < candidate.size() ? candidate[i] : '\0';
    difference |= static_cast<unsigned>(static_cast<unsigned char>(given ^ text_[i]));
  }
  return difference == 0;
}

}  // namespace notecast::host
