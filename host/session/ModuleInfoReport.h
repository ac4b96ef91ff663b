#pragma once
// The fifteen properties of a module information record as report lines "N: VALUE", in property
// order. A property that cannot be read reports its failure in its own line; the others still
// show.

#include <string>
#include <vector>

#include "abi/LumoTypeLib/IModuleInformation.h"

namespace notecast::host {

inline constexpr std::size_t kModuleInfoProperties = 15;

std::vector<std::string> reportModuleInfo(lumo::IModuleInformation& info);

}  // namespace notecast::host
