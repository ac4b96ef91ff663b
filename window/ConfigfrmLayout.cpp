#include "window/ConfigfrmLayout.h"

namespace notecast {

using K = ControlKind;

const std::array<ControlPlace, 39> kConfigfrmControls = {{
    // header area
    {"Image1", K::Picture, nullptr, "", 8, 8, 75, 68},
    {"Label1", K::Label, nullptr, "Notecast Plugin", 96, 8, 209, 17},
    {"Label2", K::Label, nullptr, "Version " NOTECAST_VERSION, 96, 24, 209, 17},
    {"Label5", K::Label, nullptr, "DMX in, MIDI out. Made on Linux.", 96, 40, 209, 17},
    {"cmdOK", K::Button, nullptr, "OK", 424, 72, 113, 25},
    {"Label3", K::Label, nullptr, "Last channel:", 8, 80, 73, 17},
    {"lastchannellbl", K::Label, nullptr, "...", 80, 80, 33, 17},
    {"Label9", K::Label, nullptr, "Last channelvalue:", 120, 80, 97, 17},
    {"lastvaluelbl", K::Label, nullptr, "...", 216, 80, 129, 17},
    {"MIDIOutput1", K::Midi, nullptr, "", 432, 24, 0, 0},
    // "Midi-Output Setup:"
    {kMidiFrame, K::Frame, nullptr, "Midi-Output Setup:", 8, 104, 529, 73},
    {"Label11", K::Label, kMidiFrame, "Midi-Output-Driver:", 8, 24, 361, 17},
    {"cboMidiOutput", K::Combo, kMidiFrame, "", 8, 40, 393, 21},
    {"cmdSendTestNote", K::Button, kMidiFrame, "Send Testnote", 408, 40, 113, 25},
    // "Event-Setup:"
    {kEventFrame, K::Frame, nullptr, "Event-Setup:", 8, 184, 529, 249},
    {"Label10", K::Label, kEventFrame, "DMX Chan:", 8, 16, 57, 17},
    {"Label12", K::Label, kEventFrame, "Midi Message:", 320, 16, 113, 17},
    {"Label13", K::Label, kEventFrame, "MIDI Chan:", 464, 16, 57, 17},
    {"txtDmx", K::Text, kEventFrame, "0", 8, 32, 33, 19},
    {"chkShowLine", K::Check, kEventFrame, "Show line", 48, 32, 73, 13},
    {"chkSendOnlyOnce", K::Check, kEventFrame, "Send only once", 120, 32, 121, 13},
    {"txtShareName", K::Text, kEventFrame, "", 224, 32, 89, 19},
    {"cboMIDIMessage", K::Combo, kEventFrame, "", 320, 32, 153, 21},
    {"cboMIDIChannel", K::Combo, kEventFrame, "", 480, 32, 41, 21},
    {"chkSendNoteOff", K::Check, kEventFrame, "Send Note-Off after Event", 48, 48, 153, 13},
    {"chkShare", K::Check, kEventFrame, "Share via Commands", 192, 48, 121, 17},
    {"Label4", K::Label, kEventFrame, "Event:", 8, 56, 129, 17},
    {"Label6", K::Label, kEventFrame, "MSG:", 368, 56, 33, 17},
    {"Label7", K::Label, kEventFrame, "Data1:", 408, 56, 33, 17},
    {"data3lbl", K::Label, kEventFrame, "Data2:", 448, 56, 33, 17},
    {"Label8", K::Label, kEventFrame, "Value:", 488, 56, 33, 17},
    {"cboEvent", K::Combo, kEventFrame, "", 8, 72, 353, 21},
    {"txtMsg", K::Text, kEventFrame, "1", 368, 72, 33, 19},
    {"txtData1", K::Text, kEventFrame, "0", 408, 72, 33, 19},
    {"txtData2", K::Text, kEventFrame, "0", 448, 72, 33, 19},
    {"txtValue", K::Text, kEventFrame, "127", 488, 72, 33, 19},
    {"lstView", K::List, kEventFrame, "", 8, 96, 513, 108},
    {"cmdNew", K::Button, kEventFrame, "New", 8, 216, 41, 25},
    {"cmdDelete", K::Button, kEventFrame, "Delete", 56, 216, 57, 25},
}};

const std::array<const char*, 19> kConfigfrmTabOrder = {
    "cmdOK",          "lstView",         "cmdNew",         "txtMsg",       "txtData1",
    "txtData2",       "cmdDelete",       "txtValue",       "txtDmx",       "cboMidiOutput",
    "cboEvent",       "cmdSendTestNote", "chkSendNoteOff", "chkShowLine",  "cboMIDIMessage",
    "cboMIDIChannel", "chkSendOnlyOnce", "chkShare",       "txtShareName",
};

const char* controlKindName(ControlKind kind) {
  switch (kind) {
    case K::Label:
      return controls::kLabelKind;
    case K::Text:
      return controls::kTextKind;
    case K::Check:
      return controls::kCheckKind;
    case K::Combo:
      return controls::kComboKind;
    case K::List:
      return controls::kListKind;
    case K::Button:
      return controls::kButtonKind;
    case K::Frame:
      return controls::kFrameKind;
    case K::Picture:
      return controls::kPictureKind;
    case K::Midi:
      return controls::kMidiKind;
  }
  return "";
}

}  // namespace notecast
