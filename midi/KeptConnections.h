#pragma once
// The connections the operator asked to keep: from the plug-in's own output port to each named
// destination port, made whenever both exist. A connection is made when the own port or the
// destination appears (or is made again: another program's restart, a JACK server's restart, the
// output opened again), never merely because it is missing: a connection the user removed by
// hand stays removed until one of its two ports comes back.
//
// The MIDI system is reached through a Graph, so the rule stands apart from ALSA and JACK.
// User-interface thread only.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace notecast {

class KeptConnections {
 public:
  // A port as the MIDI system shows it now. `identity` tells it apart from an earlier port of the
  // same name, so that a port that went and came back between two looks still counts as back.
  struct Port {
    std::string name;
    std::string identity;
  };

  class Graph {
   public:
    virtual ~Graph() = default;
    // The plug-in's own output port; nothing while it does not exist.
    virtual std::optional<Port> ownPort() = 0;
    // The destination the operator named `name`; nothing while it does not exist.
    virtual std::optional<Port> findPort(const std::string& name) = 0;
    // Connects `from` to `to` (names as ownPort and findPort gave them); true when connected,
    // also when it was connected already.
    virtual bool connect(const std::string& from, const std::string& to) = 0;
  };

  // A destination's state as the last look left it. kGone: it was connected, and then a look no
  // longer found it, or the own port went away; it is connected again when both are back. A
  // connection removed by hand while both ports stay is not seen: it still counts as connected.
  enum class State { kWaiting, kConnected, kGone };
  using States = std::vector<std::pair<std::string, State>>;

  // Replaces the destinations; each is connected at the next look that finds it.
  void setDestinations(std::vector<std::string> names);
  const std::vector<std::string>& destinations() const noexcept { return destinations_; }

  // Connects the own port to every destination that appeared since the last look, or to every
  // destination there is when the own port appeared. A failed connection is tried again at the
  // next look.
  void update(Graph& graph);
  // The own port went away (the output was closed or the MIDI system left): the next look finds
  // it new.
  void forget() noexcept;
  // Whether the last look found a destination it could not connect (JACK refuses ports of a
  // program that is not active yet, and nothing announces its activation): look again soon.
  bool pending() const noexcept { return pending_; }
  // Each destination's state, in the order given.
  States states() const;

 private:
  std::vector<std::string> destinations_;
  std::optional<std::string> own_;                // the own port's identity at the last look
  std::map<std::string, std::string> connected_;  // destination -> its identity when connected
  std::set<std::string> connectedOnce_;           // destinations connected at some look
  bool pending_ = false;
};

}  // namespace notecast
