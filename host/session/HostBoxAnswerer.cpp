#include "host/session/HostBoxAnswerer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "abi/ComPtr.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

// The buttons as a box lays them out, left to right.
std::vector<BoxAnswer> buttonsOf(BoxButtons buttons) {
  if (buttons == BoxButtons::YesNoCancel) return {BoxAnswer::Yes, BoxAnswer::No, BoxAnswer::Cancel};
  return {BoxAnswer::Ok};
}

// The box's text on one line: its line breaks become blanks.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
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
    if (lines_ == Lines::kHost) {
      out_ << "notecast-host: the plug-in says: \"" << oneLine(text ? text : "") << "\" (answered "
           << boxButtonCaption(pressed) << ")" << std::endl;
      return pressed;
    }
    std::string captions;
    for (const BoxAnswer button : shown) {
      if (!captions.empty()) captions += ',';
      captions += std::string(boxButtonCaption(button)) + (button == fallback ? "*" : "");
    }
    out_ << formatBox(title ? title : "", text ? text : "", captions, icon,
                      boxButtonCaption(pressed))
         << std::endl;
  } catch (...) {  // the answer stands even when the line cannot be written
  }
  return pressed;
}

}  // namespace notecast::host
