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

}  // namespace

void prepareQtEnvironment(bool show) {
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
