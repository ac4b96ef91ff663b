#include "host/web/WebFront.h"

#include <QLoggingCategory>
#include <QNetworkInterface>

#include "abi/RuntimeError.h"
#include "host/session/HostError.h"
#include "host/session/OutputDetailsReader.h"
#include "host/session/SharedCommands.h"
#include "host/web/ConnectionGate.h"

namespace notecast::host {
namespace {

// The address a person on another machine would open, for a page that listens on all of them.
QString reachableHost(const WebAddress& address) {
  if (!address.address.isEqual(QHostAddress::AnyIPv4, QHostAddress::ConvertV4MappedToIPv4) &&
      address.address != QHostAddress::AnyIPv6 && address.address != QHostAddress::Any)
    return address.text().left(address.text().lastIndexOf(':'));
  for (const QHostAddress& candidate : QNetworkInterface::allAddresses())
    if (!candidate.isLoopback() && candidate.protocol() == QAbstractSocket::IPv4Protocol)
      return candidate.toString();
  return QStringLiteral("127.0.0.1");
}

std::optional<WebSecret> secretFor(const WebSetup& setup) {
  if (setup.secretFile) return WebSecret::readFrom(*setup.secretFile);
  if (setup.address.loopback()) return std::nullopt;
  return WebSecret::make();
}

}  // namespace

WebFront::WebFront(PluginSession& session, WebSetup setup)
    : session_(session), setup_(std::move(setup)), log_(setup_.log), listening_(setup_.address) {
  // Qt's server warns of every WebSocket upgrade it is told to refuse, beside the log's own line
  // and outside its bound on lines.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.httpserver.warning=false"));
  std::optional<WebSecret> secret = secretFor(setup_);
  auto* gate = new ConnectionGate(log_);
  if (!gate->listen(setup_.address.address, setup_.address.port)) {
    const bool inUse = gate->serverError() == QAbstractSocket::AddressInUseError;
    const std::string reason = inUse ? "the port " + std::to_string(setup_.address.port) +
                                           " is in use by another program; choose another"
                                     : gate->errorString().toStdString();
    delete gate;
    throw HostError("--web " + setup_.address.text().toStdString() + ": cannot listen: " + reason);
  }
  listening_.port = gate->serverPort();
  access_ = std::make_unique<WebAccess>(listening_, std::move(secret));
  const QJsonObject about{{"project", setup_.project},
                          {"version", setup_.version},
                          {"mode", setup_.mode},
                          {"noReload", setup_.reload ? QString() : setup_.noReload}};
  feed_ = std::make_unique<LiveFeed>(session_, trail_, log_, about, setup_.dmx);
  server_ = std::make_unique<WebServer>(
      *access_, *feed_,
      WebActions{[this](const QString& event) { return fire(event); }, [this] { return reload(); }},
      log_);
  server_->bind(gate);
  tellAddress();
}

WebFront::~WebFront() = default;

void WebFront::tellAddress() const {
  const QString address = "http://" + reachableHost(listening_) + ':' +
                          QString::number(listening_.port) + '/' + access_->addressQuery();
  setup_.log("the web page is at " + address.toStdString() +
             (access_->needsSecret() ? " (the secret in it opens the page: keep it to yourself)"
                                     : " (this machine only)"));
}

void WebFront::notice(const std::string& line) {
  feed_->notice(QString::fromStdString(line));
}

void WebFront::stop() {
  stopped_ = true;
  for (QTcpServer* listening : server_->servers()) listening->close();
  feed_->farewell(QStringLiteral("the bridge has stopped"));
  log_.flush();
}

ActionAnswer WebFront::fire(const QString& event) {
  if (stopped_) return {503, QStringLiteral("the bridge is stopping")};
  if (session_.gate().busy())
    return {409, QStringLiteral("the plug-in is busy with another call (a box?): try again")};
  const PluginGate::Call call(session_.gate());
  try {
    auto server = session_.commandServer();
    for (const SharedCommand& command : fetchSharedCommands(*server)) {
      if (command.value != event) continue;
      fireSharedCommand(*server, command.value);
      return {200, "fired " + command.caption};
    }
  } catch (const FailedResult& failure) {
    return {500, "the plug-in failed: " +
                     QString::fromStdString(explainPluginFailure(session_, failure.result()))};
  } catch (const std::exception& failure) {
    return {500, QString::fromUtf8(failure.what())};
  }
  return {404, "no shared event " + event};
}

ActionAnswer WebFront::reload() {
  if (stopped_) return {503, QStringLiteral("the bridge is stopping")};
  if (!setup_.reload) return {409, setup_.noReload};
  setup_.reload();
  return {202, QStringLiteral("reloading the project: the outcome follows")};
}

}  // namespace notecast::host
