#pragma once
// The on-screen part of the configuration window: a top-level widget with every control at its
// fixed place, built from the layout table. It exists only while the window is loaded. It holds
// no logic; Configfrm connects the controls' signals to its handlers.

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace notecast {

// The rows of the MIDI channel drop-down: MIDI has 16 channels.
inline constexpr int kMidiChannels = 16;

class EntryListWidget;

class ConfigfrmForm : public QWidget {
  Q_OBJECT

 public:
  ConfigfrmForm();

  // Called when the window manager asks the window to close (the frame's close button,
  // Alt+F4). The form never closes itself: the owner decides (it hides the window, as OK does).
  std::function<void()> onCloseRequested;

  QLabel* lastchannellbl;
  QLabel* lastvaluelbl;
  QPushButton* cmdOK;
  QComboBox* cboMidiOutput;
  QPushButton* cmdSendTestNote;
  QLineEdit* txtDmx;
  QCheckBox* chkShowLine;
  QCheckBox* chkSendOnlyOnce;
  QLineEdit* txtShareName;
  QComboBox* cboMIDIMessage;
  QComboBox* cboMIDIChannel;
  QCheckBox* chkSendNoteOff;
  QCheckBox* chkShare;
  QComboBox* cboEvent;
  QLineEdit* txtMsg;
  QLineEdit* txtData1;
  QLineEdit* txtData2;
  QLineEdit* txtValue;
  EntryListWidget* lstView;
  QPushButton* cmdNew;
  QPushButton* cmdDelete;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  template <class Control>
  Control* control(const char* name) const;
  void fillFixedLists();
  void setTabOrder();
};

}  // namespace notecast
