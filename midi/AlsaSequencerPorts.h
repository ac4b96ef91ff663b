#pragma once
// The ALSA sequencer's ports as the kept connections see them (KeptConnections::Graph): the
// plug-in's own output port, destinations found by name, and subscriptions between them. A
// sequencer client of its own ("Notecast-connect", no ports), held while connections are kept,
// so that looking and connecting do not make clients come and go (each would be announced, and
// the announcement would set off the next look).
//
// A destination is named as `aconnect -l` or the output list shows it: "client:port" by the
// names, the output list's "client:port 20:0", or the numbers "20:0". The own port is the
// port `ownPort` of this process's client `ownClient` (RtMidi's).
// User-interface thread only.

#include <memory>
#include <string>

#include "midi/KeptConnections.h"

namespace notecast {

class AlsaSequencerPorts final : public KeptConnections::Graph {
 public:
  static constexpr const char* kClientName = "Notecast-connect";

  // Null when the sequencer cannot be opened.
  static std::unique_ptr<AlsaSequencerPorts> open(std::string ownClient, std::string ownPort);
  AlsaSequencerPorts(const AlsaSequencerPorts&) = delete;
  AlsaSequencerPorts& operator=(const AlsaSequencerPorts&) = delete;
  ~AlsaSequencerPorts() noexcept override;

  std::optional<KeptConnections::Port> ownPort() override;
  std::optional<KeptConnections::Port> findPort(const std::string& name) override;
  bool connect(const std::string& from, const std::string& to) override;

 private:
  struct Sequencer;  // ALSA's handle; its header stays out of this one

  AlsaSequencerPorts(std::unique_ptr<Sequencer> sequencer, std::string ownClient,
                     std::string ownPort);

  std::unique_ptr<Sequencer> sequencer_;
  std::string ownClient_;
  std::string ownPort_;
};

}  // namespace notecast
