#pragma once
// The plug-in's message boxes: real modal Qt boxes. Nothing here waits for a person in
// particular: an unattended host answers a box from outside by pressing its button.
// User-interface thread only.

#include <string>

namespace notecast {

enum class BoxButtons { Ok, YesNoCancel };
enum class BoxIcon { None, Information, Question, Warning, Critical };
enum class BoxAnswer { Ok, Yes, No, Cancel };

struct BoxRequest {
  std::string text;  // a lone carriage return is a line break, as in the system's own texts
  std::string title;
  BoxButtons buttons = BoxButtons::Ok;
  BoxIcon icon = BoxIcon::None;
  BoxAnswer defaultButton = BoxAnswer::Ok;
};

// Shows the box modally and returns the pressed button; closing the box (Escape, the frame's
// close button) answers Cancel where the box has one, otherwise OK.
BoxAnswer showMessageBox(const BoxRequest& request);

}  // namespace notecast
