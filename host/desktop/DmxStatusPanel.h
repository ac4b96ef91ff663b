#pragma once
// The desktop window's view of the DMX input: the operator's choice of it (DmxInputChooser),
// source, state, frame rate, frame and change counts, the last change, and the frames folded
// while the plug-in was held up. Reads the status from a provider, so it works with any input
// (or none) and tests can hand in their own.
//
// Contract: user-interface thread only. Refreshes every kRefreshIntervalMs by itself, and at
// once on refresh() (connect the input's statusChanged there). A null provider shows that no
// DMX input is chosen.

#include <QGroupBox>
#include <functional>

#include "host/desktop/DmxInputChooser.h"
#include "host/dmx/DmxInput.h"

class QFormLayout;
class QLabel;
class QTimer;

namespace notecast::host {

class DmxStatusPanel : public QGroupBox {
  Q_OBJECT

 public:
  using StatusProvider = std::function<DmxInputStatus()>;

  // As fast as the input reports its status at most (DmxInput::kStatusIntervalMs).
  static constexpr int kRefreshIntervalMs = 250;

  // objectNames of the value labels.
  static constexpr const char* kPanelName = "dmxPanel";
  static constexpr const char* kSourceName = "dmxSource";
  static constexpr const char* kStateName = "dmxState";
  static constexpr const char* kRateName = "dmxRate";
  static constexpr const char* kFramesName = "dmxFrames";
  static constexpr const char* kChangesName = "dmxChanges";
  static constexpr const char* kLastChangeName = "dmxLastChange";
  static constexpr const char* kFoldedName = "dmxFolded";

  explicit DmxStatusPanel(StatusProvider provider, QWidget* parent = nullptr);

  void refresh();
  // Another input (a null provider: none); `source` as DmxInputChooser::showSource takes it.
  void showInput(StatusProvider provider, const QString& source);
  DmxInputChooser* chooser() const noexcept { return chooser_; }

 private:
  QLabel* addRow(const QString& caption, const char* objectName);
  void display(const DmxInputStatus& status);

  StatusProvider provider_;
  QTimer* timer_;
  QFormLayout* rows_;
  DmxInputChooser* chooser_;
  QLabel* source_;
  QLabel* state_;
  QLabel* rate_;
  QLabel* frames_;
  QLabel* changes_;
  QLabel* lastChange_;
  QLabel* folded_;
};

}  // namespace notecast::host
