#include "midi/KeptConnections.h"

#include <algorithm>

namespace notecast {

void KeptConnections::setDestinations(std::vector<std::string> names) {
  std::erase_if(names, [](const std::string& name) { return name.empty(); });
  destinations_ = std::move(names);
  // A destination named again is connected again, even one the user disconnected by hand.
  connected_.clear();
}

void KeptConnections::update(Graph& graph) {
  pending_ = false;
  if (destinations_.empty()) return;
  const std::optional<Port> own = graph.ownPort();
  if (!own) return forget();
  if (own_ != own->identity) {
    connected_.clear();
    own_ = own->identity;
  }
  for (const std::string& name : destinations_) {
    const std::optional<Port> destination = graph.findPort(name);
    if (!destination) {
      connected_.erase(name);
      continue;
    }
    const auto known = connected_.find(name);
    if (known != connected_.end() && known->second == destination->identity) continue;
    if (graph.connect(own->name, destination->name)) {
      connected_[name] = destination->identity;
      connectedOnce_.insert(name);
    } else {
      connected_.erase(name);
      pending_ = true;
    }
  }
}

KeptConnections::States KeptConnections::states() const {
  States states;
  for (const std::string& name : destinations_) {
    State state = State::kWaiting;
    if (connected_.contains(name)) {
      state = State::kConnected;
    } else if (connectedOnce_.contains(name)) {
      state = State::kGone;
    }
    states.emplace_back(name, state);
  }
  return states;
}

void KeptConnections::forget() noexcept {
  pending_ = false;
  own_.reset();
  connected_.clear();
}

}  // namespace notecast
