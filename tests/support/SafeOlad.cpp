#include "tests/support/SafeOlad.h"

#include <ola/Callback.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>
#include <ola/network/IPV4Address.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "tests/support/LoopbackNetwork.h"

namespace notecast::testing {
namespace {

using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
constexpr auto kStartTimeout = 10s;
constexpr auto kStopTimeout = 5s;
constexpr auto kPoll = 50ms;
constexpr int kRpcTimeoutMs = 3000;
constexpr int kToolTimeoutMs = 10000;
// OLA 0.10.9's plugins other than Dummy, by the prefix of their configuration file
// "ola-PREFIX.conf". A plugin without a file starts with its defaults, which is enabled.
const std::vector<std::string> kPluginsOff = {
    "artnet",  "dmx4linux", "e131",    "espnet",           "ftdidmx", "gpio",     "karate",
    "kinet",   "milinst",   "opendmx", "openpixelcontrol", "osc",     "pathport", "renard",
    "sandnet", "shownet",   "spi",     "stageprofi",       "uartdmx", "usbdmx",   "usbserial"};
constexpr const char* kDummyPlugin = "Dummy";
constexpr const char* kPluginStarted = "Started ";
constexpr const char* kPluginStartMark = "Trying to start ";
// /proc/net/tcp: the state of a listening socket; 127.0.0.1 as the kernel writes it.
constexpr const char* kTcpListen = "0A";
constexpr const char* kLoopbackV4 = "0100007F";
constexpr const char* kLoopbackV6 = "00000000000000000000000001000000";

struct Socket {
  std::string table;    // "tcp", "udp6", ...
  std::string address;  // hex, as in /proc/net
  unsigned port = 0;
  std::string state;
  std::string inode;
};

std::vector<Socket> socketsIn(const std::string& table) {
  std::vector<Socket> sockets;
  std::ifstream in("/proc/net/" + table);
  std::string line;
  std::getline(in, line);  // the column names
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
        timeout >> inode;
    const std::size_t colon = local.find(':');
    if (colon == std::string::npos) continue;
    sockets.push_back({table, local.substr(0, colon),
                       static_cast<unsigned>(std::stoul(local.substr(colon + 1), nullptr, 16)),
                       state, inode});
  }
  return sockets;
}

std::vector<Socket> allSockets() {
  std::vector<Socket> all;
  for (const char* table : {"tcp", "tcp6", "udp", "udp6", "raw", "raw6"}) {
    const std::vector<Socket> some = socketsIn(table);
    all.insert(all.end(), some.begin(), some.end());
  }
  return all;
}

// The socket inodes among the open files of process `pid`.
std::set<std::string> socketInodesOf(pid_t pid) {
  std::set<std::string> inodes;
  std::error_code error;
  const std::string prefix = "socket:[";
  for (const auto& entry :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    std::error_code ignored;
    const std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
    if (target.starts_with(prefix))
      inodes.insert(target.substr(prefix.size(), target.size() - prefix.size() - 1));
  }
  return inodes;
}

bool isLoopback(const Socket& socket) {
  return socket.address == kLoopbackV4 || socket.address == kLoopbackV6;
}

bool isListening(const Socket& socket) {
  return !socket.table.starts_with("tcp") || socket.state == kTcpListen;
}

std::string readText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

// The plugins olad reports as enabled or active, by one RPC round trip. Plugins are loaded in
// one pass of the daemon's loop, so an answer means the log is complete too.
class PluginQuery {
 public:
  // A client of `port` only: it never starts a daemon when none answers.
  bool run(quint16 port, std::vector<std::string>* loaded, std::string* error) {
    const std::unique_ptr<ola::network::TCPSocket> socket(ola::network::TCPSocket::Connect(
        ola::network::IPV4SocketAddress(ola::network::IPV4Address::Loopback(), port)));
    const std::string noConnection = "no RPC connection to 127.0.0.1:" + std::to_string(port);
    if (!socket) {
      *error = noConnection;
      return false;
    }
    ola::client::OlaClient client(socket.get());
    if (!client.Setup()) {
      *error = noConnection;
      return false;
    }
    ola::io::SelectServer server;
    server.AddReadDescriptor(socket.get());
    server_ = &server;
    server_->RegisterSingleTimeout(kRpcTimeoutMs, ola::NewSingleCallback(this, &PluginQuery::end));
    client.FetchPluginList(ola::NewSingleCallback(this, &PluginQuery::answered));
    server_->Run();
    server.RemoveReadDescriptor(socket.get());
    client.Stop();
    if (!answered_) {
      *error = "olad did not answer the plugin list request: " + error_;
      return false;
    }
    *loaded = loaded_;
    return true;
  }

 private:
  void answered(const ola::client::Result& result,
                const std::vector<ola::client::OlaPlugin>& plugins) {
    answered_ = result.Success();
    error_ = result.Error();
    for (const ola::client::OlaPlugin& plugin : plugins) {
      if (plugin.IsActive() || plugin.IsEnabled()) loaded_.push_back(plugin.Name());
    }
    server_->Terminate();
  }
  void end() { server_->Terminate(); }

  ola::io::SelectServer* server_ = nullptr;
  bool answered_ = false;
  std::string error_ = "timed out";
  std::vector<std::string> loaded_;
};

}  // namespace

std::string SafeOlad::unavailableReason() {
  for (const char* program : {"olad", "setpriv", "ola_set_dmx"}) {
    if (QStandardPaths::findExecutable(program).isEmpty()) {
      return std::string(program) + " is not installed";
    }
  }
  if (::geteuid() != 0) return "running olad as nobody needs root";
  return {};
}

bool SafeOlad::portInUse(quint16 port) {
  for (const Socket& socket : allSockets()) {
    if (socket.table.starts_with("tcp") && socket.state == kTcpListen && socket.port == port) {
      return true;
    }
  }
  return false;
}

std::unique_ptr<SafeOlad> SafeOlad::start(std::string* error, quint16 rpcPort) {
  return start(nullptr, error, rpcPort);
}

std::unique_ptr<SafeOlad> SafeOlad::startWithNetworkPlugin(const NetworkPlugin& plugin,
                                                           std::string* error) {
  if (!LoopbackNetwork::onlyLoopbackAddresses()) {
    *error = "refused: an interface holds an address outside loopback, which " + plugin.name +
             " would reach";
    return nullptr;
  }
  return start(&plugin, error, kRpcPort);
}

std::unique_ptr<SafeOlad> SafeOlad::start(const NetworkPlugin* plugin, std::string* error,
                                          quint16 rpcPort) {
  if (portInUse(rpcPort)) {
    *error = "something already listens on port " + std::to_string(rpcPort) + " (another olad?)";
    return nullptr;
  }
  std::unique_ptr<SafeOlad> olad(new SafeOlad());
  olad->rpcPort_ = rpcPort;
  olad->plugin_ = plugin ? plugin->name : kDummyPlugin;
  olad->network_ = plugin != nullptr;
  if (!olad->folder_.isValid()) {
    *error = "cannot make a temporary folder";
    return nullptr;
  }
  // nobody must reach the configuration folder and write its defaults back into it.
  const QString config = olad->folder_.filePath("config");
  QDir().mkdir(config);
  const auto write = [&config](const std::string& prefix, const std::string& text) {
    std::ofstream(
        QDir(config).filePath(QString::fromStdString("ola-" + prefix + ".conf")).toStdString())
        << text;
  };
  for (const std::string& prefix : kPluginsOff) {
    if (plugin && prefix == plugin->prefix)
      write(prefix, "enabled = true\n" + plugin->settings);
    else
      write(prefix, "enabled = false\n");
  }
  write("dummy", plugin ? "enabled = false\n" : "enabled = true\n");
  ::chmod(olad->folder_.path().toLocal8Bit().constData(), 0711);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(config.toStdString())) {
    ::chown(entry.path().c_str(), kNobody, kNoGroup);
  }
  ::chown(config.toLocal8Bit().constData(), kNobody, kNoGroup);

  olad->process_.setProgram(QStandardPaths::findExecutable("setpriv"));
  olad->process_.setArguments(
      {QStringLiteral("--reuid=%1").arg(kNobody), QStringLiteral("--regid=%1").arg(kNoGroup),
       "--clear-groups", QStandardPaths::findExecutable("olad"), "--config-dir", config,
       "--rpc-port", QString::number(rpcPort), "--no-http", "--no-register-with-dns-sd",
       // the default epoll poller drops a client's last message when the
       // client disconnects right after sending it
       "--no-use-epoll", "--log-level", "3"});
  olad->process_.setProcessChannelMode(QProcess::MergedChannels);
  olad->process_.setStandardOutputFile(olad->folder_.filePath("olad.log"));
  olad->process_.start();
  if (!olad->process_.waitForStarted()) {
    *error = "cannot run setpriv: " + olad->process_.errorString().toStdString();
    return nullptr;
  }
  olad->pid_ = static_cast<pid_t>(olad->process_.processId());
  if (!olad->waitUntilUp(error) || !olad->verify(error)) {
    *error += "\nolad's log:\n" + olad->log();
    olad->stop();
    return nullptr;
  }
  return olad;
}

bool SafeOlad::answers() const {
  if (pid_ <= 0) return false;
  const std::set<std::string> own = socketInodesOf(pid_);
  for (const Socket& socket : socketsIn("tcp")) {
    if (socket.state == kTcpListen && socket.port == rpcPort_ && socket.address == kLoopbackV4 &&
        own.contains(socket.inode)) {
      return true;
    }
  }
  return false;
}

bool SafeOlad::waitUntilUp(std::string* error) {
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (answers() && log().find(kPluginStarted + plugin_) != std::string::npos) return true;
    if (process_.state() == QProcess::NotRunning || process_.waitForFinished(0)) {
      *error = "olad ended at start";
      pid_ = 0;
      return false;
    }
    QThread::msleep(std::chrono::milliseconds(kPoll).count());
  }
  *error = "olad did not come up on 127.0.0.1:" + std::to_string(rpcPort_) + " in time";
  return false;
}

// Before anything else talks to it: it is olad, it listens on loopback only (but for a network
// plugin's UDP sockets), and only its one plugin runs.
bool SafeOlad::verify(std::string* error) const {
  if (readText(QStringLiteral("/proc/%1/comm").arg(pid_)) != "olad\n") {
    *error = "process " + std::to_string(pid_) + " is not olad";
    return false;
  }
  std::vector<std::string> loaded;
  if (!PluginQuery().run(rpcPort_, &loaded, error)) return false;
  for (const std::string& plugin : loaded) {
    if (plugin != plugin_) {
      *error = "olad runs the plugin " + plugin;
      return false;
    }
  }
  const std::set<std::string> own = socketInodesOf(pid_);
  for (const Socket& socket : allSockets()) {
    const bool networkPluginSocket = network_ && socket.table.starts_with("udp");
    if (own.contains(socket.inode) && isListening(socket) && !isLoopback(socket) &&
        !networkPluginSocket) {
      *error = "olad has a " + socket.table + " socket on a non-loopback address (" +
               socket.address + ":" + std::to_string(socket.port) + ")";
      return false;
    }
  }
  std::istringstream lines(log());
  for (std::string line; std::getline(lines, line);) {
    const std::size_t mark = line.find(kPluginStartMark);
    if (mark != std::string::npos &&
        line.substr(mark + std::string(kPluginStartMark).size()) != plugin_) {
      *error = "olad started a plugin other than " + plugin_ + ": " + line;
      return false;
    }
  }
  return true;
}

void SafeOlad::stop() noexcept {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    if (!process_.waitForFinished(std::chrono::milliseconds(kStopTimeout).count())) {
      ::kill(pid_, SIGKILL);
      process_.waitForFinished();
    }
    pid_ = 0;
  }
}

int SafeOlad::runTool(const QString& tool, const QStringList& arguments, QString* output) const {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty() || rpcPort_ != kRpcPort || !answers()) return -1;
  QProcess process;
  // A search path with nothing in it: were the daemon to go away, the tool could not start one.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  const QString emptyFolder = folder_.filePath("no-programs");
  QDir().mkpath(emptyFolder);
  environment.insert("PATH", emptyFolder);
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(kToolTimeoutMs)) {
    process.kill();
    process.waitForFinished();
    return -1;
  }
  *output = QString::fromLocal8Bit(process.readAll());
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

std::string SafeOlad::log() const {
  return readText(folder_.filePath("olad.log"));
}

}  // namespace notecast::testing
