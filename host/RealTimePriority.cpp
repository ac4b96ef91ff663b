#include "host/RealTimePriority.h"

#include <pthread.h>
#include <sched.h>

#include <cstring>

namespace notecast::host {

std::optional<std::string> RealTimePriority::request() {
  sched_param parameters{};
  parameters.sched_priority = kPriority;
  const int error = ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &parameters);
  if (error == 0) return std::nullopt;
  return "real-time priority (SCHED_FIFO " + std::to_string(kPriority) +
         ") not granted: " + std::strerror(error) +
         "; the DMX dispatch runs at normal priority (see \"Real-time priority\" in the "
         "operator's manual, /usr/share/doc/notecast/manual.md)";
}

}  // namespace notecast::host
