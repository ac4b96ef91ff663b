#include "engine/SharedOptions.h"

namespace notecast {

std::vector<SharedOption> sharedOptionsOf(const EventTable& table) {
  std::vector<SharedOption> options;
  const std::int32_t highest = table.GetEventCount();
  for (std::int32_t i = 0; i <= highest; ++i) {
    std::string name = table.GetShareName(i).asString();
    if (!name.empty()) options.push_back({std::move(name), i});
  }
  return options;
}

}  // namespace notecast
