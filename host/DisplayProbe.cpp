#include "host/DisplayProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QLibraryInfo>
#include <QtGlobal>
#include <cstring>

namespace notecast::host {
namespace {

bool xDisplayAnswers() {
  int screen = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screen);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

// The compositor's socket: WAYLAND_DISPLAY itself when absolute, else in XDG_RUNTIME_DIR.
bool waylandDisplayAnswers() {
  QString path = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (!path.startsWith(QLatin1Char('/'))) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) return false;
    path = runtime + QLatin1Char('/') + path;
  }
  const QByteArray name = path.toLocal8Bit();
  sockaddr_un address{};
  if (name.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return false;
  const bool answers =
      ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(socket);
  return answers;
}

bool qtHasWaylandPlatform() {
  const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                       QStringLiteral("/platforms"));
  return !platforms.entryList({QStringLiteral("libqwayland*.so")}, QDir::Files).isEmpty();
}

}  // namespace

std::optional<std::string> unreachableDisplay() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return std::nullopt;
  const std::string x = qEnvironmentVariable("DISPLAY").toStdString();
  if (!x.empty() && xDisplayAnswers()) return std::nullopt;
  const std::string wayland = qEnvironmentVariable("WAYLAND_DISPLAY").toStdString();
  if (!wayland.empty() && waylandDisplayAnswers()) {
    if (qtHasWaylandPlatform()) {
      qputenv("QT_QPA_PLATFORM", "wayland");
      return std::nullopt;
    }
    if (x.empty())
      return "the Wayland display WAYLAND_DISPLAY=" + wayland +
             " needs Qt's Wayland platform (package qt6-wayland), and DISPLAY is not set";
  }
  if (!x.empty()) return "cannot reach the X display DISPLAY=" + x;
  if (!wayland.empty()) return "cannot reach the Wayland display WAYLAND_DISPLAY=" + wayland;
  return std::string("no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
}

}  // namespace notecast::host
