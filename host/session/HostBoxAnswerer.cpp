#include "host/session/HostBoxAnswerer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "abi/ComPtr.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

const char* captionOf(BoxAnswer button) {
  switch (button) {
    case BoxAnswer::Yes:
      return "Yes";
    case BoxAnswer::No:
      return "No";
    case BoxAnswer::Cancel:
      return "Cancel";
    case BoxAnswer::Ok:
      break;
  }
  return "OK";
}

const char* iconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information:
      return "information";
    case BoxIcon::Question:
      return "question";
    case BoxIcon::Warning:
      return "warning";
    case BoxIcon::Critical:
      return "critical";
    case BoxIcon::None:
      break;
  }
  return "none";
}

// The buttons as a box lays them out, left to right.
std::vector<BoxAnswer> buttonsOf(BoxButtons buttons) {
  if (buttons == BoxButtons::YesNoCancel) return {BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::Cancel};
  return {BoxAnswer::Ok};
}

}  // namespace

bool HostBoxAnswerer::offerTo(lumo::ILumoPlugin& plugin) {
  ComPtr<IBoxRequests> requests = ComPtr<lumo::ILumoPlugin>::share(&plugin).query<IBoxRequests>();
  return requests && SUCCEEDED(requests->put_BoxAnswerer(this));
}

BoxAnswer HostBoxAnswerer::AnswerBox(const char* title, const char* text, BoxButtons buttons,
                                     BoxIcon icon, BoxAnswer defaultAnswer) noexcept {
  const std::vector<BoxAnswer> shown = buttonsOf(buttons);
  const auto has = [&shown](BoxAnswer button) {
    return std::find(shown.begin(), shown.end(), button) != shown.end();
  };
  const BoxAnswer fallback = has(defaultAnswer) ? defaultAnswer : shown.front();
  const BoxAnswer pressed = nextAnswer_ && has(*nextAnswer_) ? *nextAnswer_ : fallback;
  nextAnswer_.reset();
  ++answered_;
  try {
    std::string captions;
    for (const BoxAnswer button : shown) {
      if (!captions.empty()) captions += ',';
      captions += std::string(captionOf(button)) + (button == fallback ? "*" : "");
    }
    out_ << "box " << quoteText(title ? title : "") << ' ' << quoteText(text ? text : "") << " ["
         << captions << "] " << iconName(icon) << " -> " << captionOf(pressed) << std::endl;
  } catch (...) {  // the answer stands even when the line cannot be written
  }
  return pressed;
}

}  // namespace notecast::host
