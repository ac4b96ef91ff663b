#pragma once
// The name a user most likely meant when a typed name is not there: the same but for letter
// case, or one or two letters off (a letter left out, doubled, swapped or mistyped), for the
// "did you mean" hints of the command line.

#include <optional>
#include <string>
#include <vector>

namespace notecast::host {

// The one of `names` closest to `typed`, when one is close: equal ignoring case, or at most
// two edits away (one for names of up to five letters). Nothing when `typed` is itself there
// or no name is close; of equally close names the first.
std::optional<std::string> closeName(const std::string& typed,
                                     const std::vector<std::string>& names);

}  // namespace notecast::host
