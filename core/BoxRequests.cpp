#include "core/BoxRequests.h"

#include <utility>

namespace notecast {
namespace {

struct Askers {
  BoxRequests::Presenter windowBox;
  IBoxAnswerer* hostAnswerer = nullptr;
};

Askers& askers() {
  static Askers instance;
  return instance;
}

std::string withLineFeeds(const std::string& text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      lines += text[i];
    } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
      lines += '\n';
    }
  }
  return lines;
}

bool hasButton(BoxButtons buttons, BoxAnswer answer) {
  if (buttons == BoxButtons::YesNoCancel) return answer != BoxAnswer::Ok;
  return answer == BoxAnswer::Ok;
}

}  // namespace

BoxAnswer BoxRequests::ask(BoxRequest request) {
  request.text = withLineFeeds(request.text);
  const Askers& now = askers();
  BoxAnswer answer = request.defaultButton;
  if (now.hostAnswerer) {
    answer = now.hostAnswerer->AnswerBox(request.title.c_str(), request.text.c_str(),
                                         request.buttons, request.icon, request.defaultButton);
  } else if (now.windowBox) {
    answer = Presenter(now.windowBox)(request);  // a copy: the box may replace the presenter
  }
  return hasButton(request.buttons, answer) ? answer : request.defaultButton;
}

void BoxRequests::setWindowBox(Presenter presenter) {
  askers().windowBox = std::move(presenter);
}

void BoxRequests::setHostAnswerer(IBoxAnswerer* answerer) noexcept {
  askers().hostAnswerer = answerer;
}

}  // namespace notecast
