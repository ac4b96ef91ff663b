#include "midi/JackServerWatch.h"

#include <unistd.h>

#include "midi/QuietMidiLibraries.h"

namespace notecast {

std::unique_ptr<JackServerWatch> JackServerWatch::connect() {
  QuietMidiLibraries::ensure();
  const std::string name = kClientNamePrefix + std::to_string(::getpid());
  jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
  if (!client) return nullptr;
  std::unique_ptr<JackServerWatch> watch(new JackServerWatch(client));
  jack_on_shutdown(client, &JackServerWatch::onShutdown, watch.get());
  return watch;
}

JackServerWatch::JackServerWatch(jack_client_t* client) : client_(client) {}

JackServerWatch::~JackServerWatch() noexcept {
  jack_client_close(client_);
}

void JackServerWatch::onShutdown(void* watch) {
  static_cast<JackServerWatch*>(watch)->running_.store(false);
}

bool JackServerWatch::hasPort(const std::string& name) const {
  return running() && jack_port_by_name(client_, name.c_str()) != nullptr;
}

}  // namespace notecast
