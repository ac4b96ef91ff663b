#pragma once
// The configuration window: a view of the plug-in's core (core/PluginCore). It shows the core's
// state (the entry list, the output list, the highlighted entry in the editing controls, "Show
// line", the status labels, its place) and its handlers call the core; it holds no table,
// output or file of its own.
//
// The instance is made when the host first asks for the window or the core first loads; its
// controls (ConfigfrmForm) exist only while the core is loaded, and only in a process that can
// show windows: a headless host never has any. Making them loads the core, and the core's unload
// takes them away. Hidden or shown is the window's own state; loaded or not is the core's.
//
// The class is spread over files by group: the controls' life and what the core tells
// (Configfrm.cpp), the handlers of the controls (ConfigfrmHandlers.cpp), showing an entry in
// the editing controls (ConfigfrmSelection.cpp). The widgets themselves are ConfigfrmForm,
// placed by ConfigfrmLayout. All methods MUST be called on the host's user-interface thread.

#include <cstdint>
#include <memory>

#include "core/CoreView.h"
#include "core/PluginCore.h"

namespace notecast {

class ConfigfrmForm;

class Configfrm final : public CoreView {
 public:
  enum class Presence { NotLoaded, Hidden, Shown };

  explicit Configfrm(PluginCore& core);
  ~Configfrm();
  Configfrm(const Configfrm&) = delete;
  Configfrm& operator=(const Configfrm&) = delete;

  // The host's paths (they throw run-time errors).
  // The controls made when there are none and the core loaded: the host holds the window now,
  // and the status labels catch up.
  void loadWindow();
  // Shows the window, made and loaded first when needed; the output list shows what is there
  // now (ports come and go while the window is hidden).
  void show();
  // Hides the window's controls, when it has any.
  void hide() noexcept;
  Presence presence() const noexcept;
  // The controls, made (and the core loaded) first when needed.
  ConfigfrmForm& form();
  // Makes the controls, hidden, when there are none and the process can show windows (a Qt
  // application with widgets); a host without widgets never gets any.
  void makeControlsWhereShown();

  // The controls' handlers (ConfigfrmHandlers.cpp).
  void cmdOK_Click();
  void cboMidiOutput_Click();
  void cmdSendTestNote_Click();
  void cmdNew_Click();
  void cmdDelete_Click();
  void txtDmx_Change();
  void txtValue_Change();
  void txtMsg_Change();
  void txtData1_Change();
  void txtData2_Change();
  void txtShareName_Change();
  void chkSendNoteOff_Click();
  void chkSendOnlyOnce_Click();
  void chkShare_Click();
  void chkShowLine_Toggled();
  void cboEvent_Click();
  void cboMIDIMessage_Click();
  void cboMIDIChannel_Click();
  void lstView_Click();  // the user selected a row: shows its entry in the editing controls

  // CoreView
  void showCleared() override;
  void showEntries() override;
  void showHighlight() override;
  void showOutputs() override;
  void showLastChange() override;
  void showPlace(const WindowPlace& place) override;
  WindowPlace place() const override;
  void unloaded() override;

 private:
  void createControls();
  void connectHandlers();
  void updateStatusLabels();
  // Fills the editing controls with the entry `row`; as the user selected, the controls'
  // handlers store what they show and the type's rules may clear "Send only once"
  // (ConfigfrmSelection.cpp).
  void fillEditingControls(int row, bool asTheUserSelected);
  // The editing controls' hint that an entry must be selected, while none is.
  void showEditingHint();
  // The enabled states for the type shown in the event box; clearOnce: the type's rule on the
  // selected entry too.
  void applyEventTypeRules(bool clearOnce);

  PluginCore& core_;
  std::unique_ptr<ConfigfrmForm> form_;
  bool shown_ = false;
};

}  // namespace notecast
