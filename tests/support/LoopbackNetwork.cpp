#include "tests/support/LoopbackNetwork.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <fstream>
#include <sstream>

namespace notecast::testing {
namespace {

constexpr const char* kLoopback = "lo";
constexpr const char* kSink = "sink";
constexpr int kIpTimeoutMs = 5000;

// Every interface of this process's network with the packets it received and sent, from
// /proc/net/dev. (/sys/class/net shows the network of whoever mounted /sys, not this one.)
std::vector<LoopbackNetwork::Counted> countedByEvery() {
  std::vector<LoopbackNetwork::Counted> counted;
  std::ifstream in("/proc/net/dev");
  std::string line;
  for (int header = 0; header < 2; ++header) std::getline(in, line);
  while (std::getline(in, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::istringstream fields(line.substr(colon + 1));
    std::uint64_t receivedBytes = 0, received = 0, skipped = 0, sent = 0;
    fields >> receivedBytes >> received;
    // errors to multicast received, then the bytes sent
    for (int field = 0; field < 7; ++field) fields >> skipped;
    fields >> sent;
    std::istringstream name(line.substr(0, colon));
    LoopbackNetwork::Counted entry{{}, received, sent};
    name >> entry.interface;
    counted.push_back(entry);
  }
  return counted;
}

// Runs `ip` with `arguments`; false with its output in *error.
bool ip(const QStringList& arguments, std::string* error) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(QStandardPaths::findExecutable("ip"), arguments);
  if (process.waitForFinished(kIpTimeoutMs) && process.exitStatus() == QProcess::NormalExit &&
      process.exitCode() == 0)
    return true;
  *error = "ip " + arguments.join(' ').toStdString() +
           " failed: " + process.readAll().toStdString() + process.errorString().toStdString();
  return false;
}

}  // namespace

std::string LoopbackNetwork::unavailableReason() {
  if (::geteuid() != 0)
    return "needs root, for a private network namespace with loopback only "
           "(tests/support/run-isolated.sh)";
  if (QStandardPaths::findExecutable("ip").isEmpty()) return "ip (iproute2) is not installed";
  const std::vector<Counted> others = countedBesideLoopback();
  if (!others.empty())
    return "runs only in a private network namespace with loopback only "
           "(tests/support/run-isolated.sh); this one has " +
           others.front().interface;
  return {};
}

bool LoopbackNetwork::onlyLoopbackAddresses() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return false;
  bool loopbackOnly = true;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr) continue;
    if (entry->ifa_addr->sa_family == AF_INET) {
      const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
      loopbackOnly &= (ntohl(address->sin_addr.s_addr) >> 24) == 127;
    } else if (entry->ifa_addr->sa_family == AF_INET6) {
      const auto* address = reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr);
      loopbackOnly &= IN6_IS_ADDR_LOOPBACK(&address->sin6_addr) != 0;
    }
  }
  ::freeifaddrs(list);
  return loopbackOnly;
}

bool LoopbackNetwork::addSink(std::string* error) {
  if (!ip({"link", "add", kSink, "type", "ifb"}, error)) return false;
  // No IPv6 on it (no link-local address, no router solicitations) and no ARP.
  std::ofstream("/proc/sys/net/ipv6/conf/sink/disable_ipv6") << "1\n";
  return ip({"link", "set", kSink, "arp", "off"}, error) &&
         ip({"address", "add", "127.0.0.1/32", "dev", kSink}, error) &&
         ip({"link", "set", kSink, "up"}, error) &&
         ip({"address", "del", "127.0.0.1/8", "dev", kLoopback}, error) &&
         ip({"address", "add", "127.0.0.1/8", "dev", kLoopback}, error);
}

void LoopbackNetwork::removeSink() {
  std::string ignored;
  ip({"link", "del", kSink}, &ignored);
}

std::vector<LoopbackNetwork::Counted> LoopbackNetwork::countedBesideLoopback() {
  std::vector<Counted> counted = countedByEvery();
  std::erase_if(counted, [](const Counted& entry) { return entry.interface == kLoopback; });
  return counted;
}

}  // namespace notecast::testing
