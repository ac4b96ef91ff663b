#include "host/desktop/DmxChoiceStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <filesystem>
#include <stdexcept>

#include "host/dmx/DmxSource.h"
#include "os/ClassRegistry.h"

namespace notecast::host {
namespace {

constexpr const char* kFileName = "projects.ini";
const QString kSection = QStringLiteral("DmxInput/");
const QString kStoredNone = QStringLiteral("none");

[[noreturn]] void fail(const QString& text) {
  throw std::runtime_error(text.toStdString());
}

bool isOlaSource(const QString& source) {
  try {
    return DmxSource::parse(source).kind == DmxSource::Kind::kOla;
  } catch (const std::invalid_argument&) {
    return false;
  }
}

}  // namespace

QString DmxChoiceStore::defaultPath() {
  const std::filesystem::path folder =
      std::filesystem::path(ClassRegistry::defaultPath()).parent_path();
  return QString::fromStdString((folder / kFileName).string());
}

// QSettings reads "/" in a key as a group: the path's own slashes nest it under the section,
// and it reads back the same way.
DmxChoiceStore::DmxChoiceStore(QString path, const QString& projectBase)
    : path_(std::move(path)),
      key_(kSection + QDir::cleanPath(QFileInfo(projectBase).absoluteFilePath())) {}

std::optional<QString> DmxChoiceStore::load() const {
  const QSettings settings(path_, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError)
    fail(QStringLiteral("%1 could not be read").arg(path_));
  const QVariant kept = settings.value(key_);
  if (!kept.isValid()) return std::nullopt;
  const QString source = kept.toString();
  if (source == kStoredNone) return QString();
  if (!isOlaSource(source))
    fail(QStringLiteral("%1: \"%2\" is neither OLA universes (ola:1,2, ola:1,2@HOST:PORT) nor "
                        "none")
             .arg(path_, source));
  return source;
}

void DmxChoiceStore::save(const QString& source) const {
  QSettings settings(path_, QSettings::IniFormat);
  settings.setValue(key_, source.isEmpty() ? kStoredNone : source);
  settings.sync();
  if (settings.status() != QSettings::NoError)
    fail(QStringLiteral("%1 could not be written").arg(path_));
}

}  // namespace notecast::host
