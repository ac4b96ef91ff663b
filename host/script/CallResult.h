#pragma once
// What one script call prints: the text after "WORD -> ", then for a list one line per item.

#include <string>
#include <vector>

namespace notecast::host {

struct CallResult {
  std::string value;
  std::vector<std::string> items;  // printed indented by two blanks, below the result line
};

}  // namespace notecast::host
