#include "host/QtEnvironment.h"

#include <unistd.h>

#include <QDir>
#include <QtGlobal>
#include <filesystem>
#include <system_error>

namespace notecast::host {
namespace {

constexpr const char* kPlatformVariable = "QT_QPA_PLATFORM";
constexpr const char* kOffscreenPlatform = "offscreen";
constexpr const char* kRuntimeDirVariable = "XDG_RUNTIME_DIR";

// The offscreen platform warns about every window feature it lacks (raise, keyboard grabs,
// size hints) whenever a window or drop-down opens; nothing is wrong, so those lines are dropped.
QtMessageHandler defaultHandler = nullptr;

void dropOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith(QStringLiteral("This plugin does not support")))
    return;
  if (defaultHandler) defaultHandler(type, context, text);
}

}  // namespace

void prepareQtEnvironment(bool show) {
  if (!show) defaultHandler = qInstallMessageHandler(dropOffscreenNotices);
  // Without a display and without a chosen platform, Qt aborts.
  if (!show && qEnvironmentVariableIsEmpty(kPlatformVariable)) {
    qputenv(kPlatformVariable, kOffscreenPlatform);
  }
  QString runtimeDir = qEnvironmentVariable(kRuntimeDirVariable);
  if (runtimeDir.isEmpty()) {
    runtimeDir = QDir::tempPath() + QStringLiteral("/runtime-notecast-host-%1").arg(getuid());
    qputenv(kRuntimeDirVariable, runtimeDir.toLocal8Bit());
  }
  const std::filesystem::path directory(runtimeDir.toStdString());
  std::error_code error;
  if (std::filesystem::exists(directory, error)) return;
  // Qt refuses a runtime directory that others can read.
  std::filesystem::create_directories(directory, error);
  std::filesystem::permissions(directory, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace, error);
}

}  // namespace notecast::host
