#pragma once
// Every message box of the plug-in is asked through here: of the host's answerer when the host
// gave one (IBoxRequests), else of the window's real modal box. With neither (no window can be
// shown) the box gets its default button. The plug-in's texts break lines with a lone carriage
// return, as the system's own do; what is shown or asked breaks them with '\n'.
// User-interface thread only.

#include <functional>
#include <string>

#include "abi/IBoxRequests.h"

namespace notecast {

struct BoxRequest {
  std::string text;
  std::string title;
  BoxButtons buttons = BoxButtons::Ok;
  BoxIcon icon = BoxIcon::None;
  BoxAnswer defaultButton = BoxAnswer::Ok;
};

class BoxRequests {
 public:
  using Presenter = std::function<BoxAnswer(const BoxRequest&)>;

  // The button pressed: one the box has.
  static BoxAnswer ask(BoxRequest request);
  // The window's real box, used while the host gives no answerer; empty: none.
  static void setWindowBox(Presenter presenter);
  // The host's answerer; null: none. The host keeps it alive until it hands over another.
  static void setHostAnswerer(IBoxAnswerer* answerer) noexcept;
};

}  // namespace notecast
