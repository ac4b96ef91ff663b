#pragma once
// The plug-in's MIDI output as the operator sees it in the desktop window: the output's name and
// state, messages sent and not sent, and the last few messages that went out, the newest in view
// whenever they change (the operator may scroll back until the next one goes out). Polled once a
// second through the plug-in's optional output status (OutputStatusReader); a plug-in that tells
// none shows "not told by the plug-in".
//
// Contract: user-interface thread only; `gate` outlives the panel. The provider is called from the
// panel's timer inside the gate, and never while the gate is busy (a box of the plug-in's may be
// open): that refresh is skipped.

#include <QGroupBox>
#include <functional>
#include <optional>

#include "host/session/OutputStatusReader.h"
#include "host/session/PluginGate.h"

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace notecast::host {

class OutputStatusPanel : public QGroupBox {
  Q_OBJECT

 public:
  static constexpr const char* kPanelName = "outputPanel";
  static constexpr const char* kOutputName = "outputState";
  static constexpr const char* kCountsName = "outputCounts";
  static constexpr const char* kRecentName = "recentMessages";
  static constexpr int kRefreshIntervalMs = 1000;

  using StatusProvider = std::function<std::optional<OutputStatusSnapshot>()>;

  OutputStatusPanel(StatusProvider provider, PluginGate& gate, QWidget* parent = nullptr);

  // Shows the status now; the timer also does it.
  void refresh();

 private:
  StatusProvider provider_;
  PluginGate& gate_;
  QTimer* timer_;
  QLabel* output_;
  QLabel* counts_;
  QPlainTextEdit* recent_;
};

}  // namespace notecast::host
