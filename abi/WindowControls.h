#pragma once
// How a host finds the plug-in's configuration window and its controls through Qt alone, without
// linking any of the window's code: the window is the top-level widget named kConfigWindowName,
// and every control carries its name as objectName and its kind in the kControlKindProperty
// property, as one of the kind names below. A frame's controls are its children.
//
// Contract: the plug-in MUST give every control of its window a kind; a host MUST treat a kind it
// does not know as a control it cannot drive, not as an error. The names never change.

namespace notecast::controls {

inline constexpr const char* kConfigWindowName = "Configfrm";
inline constexpr const char* kControlKindProperty = "controlKind";

inline constexpr const char* kLabelKind = "label";
inline constexpr const char* kTextKind = "text";
inline constexpr const char* kCheckKind = "check";
inline constexpr const char* kComboKind = "combo";
inline constexpr const char* kListKind = "list";
inline constexpr const char* kButtonKind = "button";
inline constexpr const char* kFrameKind = "frame";
inline constexpr const char* kPictureKind = "picture";
inline constexpr const char* kMidiKind = "midi";  // the MIDI output control, which has no widget

}  // namespace notecast::controls
