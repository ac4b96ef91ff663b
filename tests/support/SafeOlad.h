#pragma once
// An OLA daemon of the test's own that cannot reach any network: every plugin but Dummy is
// disabled in a configuration folder of its own, HTTP and DNS-SD are off, and it runs as nobody.
// start() checks all of that before handing the daemon out: it listens on 127.0.0.1 only, its
// RPC port (127.0.0.1:9010 unless given another) answers, and no plugin other than Dummy was
// started. Stopped by its
// process id (SIGTERM), with its folder removed, when the object goes.
//
// OLA's command-line tools, and its clients with default arguments, start a daemon with the
// default configuration (network plugins on) when none answers on 127.0.0.1:9010. Run them only
// through runTool(), which checks that this daemon still answers and gives the tool a search
// path without olad in it. The tools know the default RPC port only.
//
// Inside a private network with loopback only (LoopbackNetwork.h), a daemon may run one network
// plugin instead of Dummy (startWithNetworkPlugin), for a lighting console on the same network.
//
// The RPC port is one per network: test programs that start one MUST be marked SERVERS
// (notecast_add_test): each then gets a loopback-only network of its own, or, where no namespace
// can be made, they run one at a time.

#include <sys/types.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace notecast::testing {

class SafeOlad {
 public:
  static constexpr quint16 kRpcPort = 9010;

  // Why no daemon can be started here (a program missing, no right to run it as nobody);
  // empty when one can.
  static std::string unavailableReason();

  // Starts and checks a daemon with its RPC port on 127.0.0.1:`rpcPort`; null with the reason
  // (and the daemon's log) in *error. Fails without starting anything when something already
  // listens on that port.
  static std::unique_ptr<SafeOlad> start(std::string* error, quint16 rpcPort = kRpcPort);

  // One of OLA's network plugins and the lines of its configuration file beyond "enabled".
  struct NetworkPlugin {
    std::string prefix;  // of its configuration file, "ola-PREFIX.conf"
    std::string name;    // as olad names it
    std::string settings;
  };
  // As start(), with `plugin` the only plugin (Dummy off). Refused unless no interface holds an
  // address outside loopback: the plugin binds its UDP sockets to every address, and those are
  // then the only sockets of the daemon allowed beyond 127.0.0.1.
  static std::unique_ptr<SafeOlad> startWithNetworkPlugin(const NetworkPlugin& plugin,
                                                          std::string* error);

  SafeOlad(const SafeOlad&) = delete;
  SafeOlad& operator=(const SafeOlad&) = delete;
  ~SafeOlad() { stop(); }

  // SIGTERM to the daemon's process id, SIGKILL if it lingers. Safe to call more than once.
  void stop() noexcept;
  pid_t pid() const { return pid_; }
  // Whether this daemon (by its process id) listens on its RPC port on 127.0.0.1 now.
  bool answers() const;

  // Runs the OLA tool `tool` (a program name such as "ola_set_dmx") with `arguments` and
  // returns its exit code, with its output in *output; -1 without running it when this daemon
  // does not answer or is not on kRpcPort, or the tool cannot be found or does not end in time.
  int runTool(const QString& tool, const QStringList& arguments, QString* output) const;

  // True when anything on this machine listens on TCP port `port` of any address.
  static bool portInUse(quint16 port);

 private:
  SafeOlad() = default;
  static std::unique_ptr<SafeOlad> start(const NetworkPlugin* plugin, std::string* error,
                                         quint16 rpcPort);
  bool waitUntilUp(std::string* error);
  bool verify(std::string* error) const;
  std::string log() const;

  QTemporaryDir folder_;  // config/ and olad.log; removed with the object
  QProcess process_;
  pid_t pid_ = 0;
  std::string plugin_;  // the one plugin it runs
  bool network_ = false;
  quint16 rpcPort_ = kRpcPort;
};

}  // namespace notecast::testing
