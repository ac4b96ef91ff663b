#pragma once
// The controls of the configuration window, in the order of the window's tables: the header
// area, then each group frame followed by its children. Positions are pixels at 96 dots per inch,
// relative to the parent (the window or a frame). Kept as data so the window is built, and
// checked, by one loop.

#include <array>

#include "abi/WindowControls.h"

namespace notecast {

enum class ControlKind { Label, Text, Check, Combo, List, Button, Frame, Picture, Midi };

struct ControlPlace {
  const char* name;  // objectName
  ControlKind kind;
  const char* parent;  // nullptr: the window itself; else the frame's name
  const char* text;    // caption, initial text, or frame title
  int x, y, width, height;
};

inline constexpr const char* kWindowName = controls::kConfigWindowName;
inline constexpr const char* kWindowCaption = "Notecast Plugin";
inline constexpr int kClientWidth = 546;
inline constexpr int kClientHeight = 441;
inline constexpr const char* kTitleLabel = "Label1";
inline constexpr double kTitlePointSize = 9.75;
inline constexpr const char* kMidiFrame = "fraMidiOutputSetup";
inline constexpr const char* kEventFrame = "fraEventSetup";

extern const std::array<ControlPlace, 39> kConfigfrmControls;

// The keyboard focus order of the focusable controls.
extern const std::array<const char*, 19> kConfigfrmTabOrder;

const char* controlKindName(ControlKind kind);  // "label", "text", ... as tools show it

}  // namespace notecast
