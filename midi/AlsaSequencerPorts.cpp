#include "midi/AlsaSequencerPorts.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

#include <functional>

#include "midi/QuietMidiLibraries.h"

namespace notecast {
namespace {

constexpr unsigned int kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;

struct PortRecord {
  int client = 0;
  int port = 0;
  std::string clientName;
  std::string portName;
  unsigned int capability = 0;
  int pid = -1;

  std::string numbers() const { return std::to_string(client) + ":" + std::to_string(port); }
  std::string names() const { return clientName + ":" + portName; }
};

// Visits every port of every client; stops when `visit` answers true.
void visitPorts(snd_seq_t* sequencer, const std::function<bool(const PortRecord&)>& visit) {
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(sequencer, client) >= 0) {
    const int number = snd_seq_client_info_get_client(client);
    snd_seq_port_info_set_client(port, number);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(sequencer, port) >= 0) {
      PortRecord record{number,
                        snd_seq_port_info_get_port(port),
                        snd_seq_client_info_get_name(client),
                        snd_seq_port_info_get_name(port),
                        snd_seq_port_info_get_capability(port),
                        snd_seq_client_info_get_pid(client)};
      if (visit(record)) return;
    }
  }
}

}  // namespace

struct AlsaSequencerPorts::Sequencer {
  snd_seq_t* handle;
};

std::unique_ptr<AlsaSequencerPorts> AlsaSequencerPorts::open(std::string ownClient,
                                                             std::string ownPort) {
  QuietMidiLibraries::ensure();
  snd_seq_t* sequencer = nullptr;
  if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) return nullptr;
  snd_seq_set_client_name(sequencer, kClientName);
  return std::unique_ptr<AlsaSequencerPorts>(new AlsaSequencerPorts(
      std::make_unique<Sequencer>(Sequencer{sequencer}), std::move(ownClient), std::move(ownPort)));
}

AlsaSequencerPorts::AlsaSequencerPorts(std::unique_ptr<Sequencer> sequencer, std::string ownClient,
                                       std::string ownPort)
    : sequencer_(std::move(sequencer)),
      ownClient_(std::move(ownClient)),
      ownPort_(std::move(ownPort)) {}

AlsaSequencerPorts::~AlsaSequencerPorts() noexcept {
  snd_seq_close(sequencer_->handle);
}

// Clients may share a name; ours is the one of this process (a kernel too old to tell a
// client's process answers -1, and then the name alone decides).
std::optional<KeptConnections::Port> AlsaSequencerPorts::ownPort() {
  std::optional<KeptConnections::Port> found;
  const int self = static_cast<int>(::getpid());
  visitPorts(sequencer_->handle, [&](const PortRecord& record) {
    if (record.clientName != ownClient_ || record.portName != ownPort_) return false;
    if (record.pid != self && record.pid != -1) return false;
    found = KeptConnections::Port{record.numbers(), record.numbers()};
    return record.pid == self;
  });
  return found;
}

// The numbers identify the port: a program started again gets a new client number.
std::optional<KeptConnections::Port> AlsaSequencerPorts::findPort(const std::string& name) {
  std::optional<KeptConnections::Port> found;
  visitPorts(sequencer_->handle, [&](const PortRecord& record) {
    if ((record.capability & kWritable) != kWritable) return false;
    if (name != record.numbers() && name != record.names() &&
        name != record.names() + " " + record.numbers())
      return false;
    found = KeptConnections::Port{record.numbers(), record.numbers()};
    return true;
  });
  return found;
}

bool AlsaSequencerPorts::connect(const std::string& from, const std::string& to) {
  snd_seq_addr_t sender{};
  snd_seq_addr_t destination{};
  if (snd_seq_parse_address(sequencer_->handle, &sender, from.c_str()) < 0 ||
      snd_seq_parse_address(sequencer_->handle, &destination, to.c_str()) < 0)
    return false;
  snd_seq_port_subscribe_t* subscription = nullptr;
  snd_seq_port_subscribe_alloca(&subscription);
  snd_seq_port_subscribe_set_sender(subscription, &sender);
  snd_seq_port_subscribe_set_dest(subscription, &destination);
  if (snd_seq_get_port_subscription(sequencer_->handle, subscription) == 0) return true;
  return snd_seq_subscribe_port(sequencer_->handle, subscription) == 0;
}

}  // namespace notecast
