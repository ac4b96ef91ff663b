#pragma once
// A person at the plug-in's window: real Qt input events (keys and mouse clicks) on the real
// controls, found by name. Each input goes through the widgets' own event handling, so the
// plug-in sees exactly the signals a person causes, and a disabled control ignores it as it does
// for a person. Pending events are processed after each input, so the plug-in's handlers have run
// (and any message box they opened has been answered) when a call returns.
//
// Throws BadCall for an unknown control, a control of another kind, or a row it does not have.
// Contract: user-interface thread only; the window MUST be loaded.

#include <QWidget>
#include <initializer_list>
#include <string>
#include <string_view>

class QLineEdit;

namespace notecast::host {

class WindowDriver {
 public:
  static constexpr std::string_view kUnknownControl = "unknown control";
  static constexpr std::string_view kWrongKind = "wrong kind of control";
  static constexpr std::string_view kRowOutOfRange = "row out of range";

  explicit WindowDriver(QWidget& window) : window_(window) {}

  // Focuses the text box, selects all it holds and types `text` (UTF-8) key by key, one key per
  // character.
  void type(std::string_view name, const std::string& text);
  // Focuses the text box, selects all it holds and deletes it.
  void clear(std::string_view name);
  // Clicks a button, or a check box on its indicator.
  void click(std::string_view name);
  // Opens the drop-down and clicks row `row` in it: one pick, whatever rows lie between.
  void pick(std::string_view name, int row);
  // Clicks row `row` of the list, scrolled into view first.
  void select(std::string_view name, int row);

 private:
  template <class Control>
  Control& control(std::string_view name, std::initializer_list<const char*> kinds) const;
  // The text box, focused and with all it holds selected, ready for keys.
  QLineEdit& textBoxForInput(std::string_view name) const;

  QWidget& window_;
};

}  // namespace notecast::host
