#pragma once
// The plug-in's MIDI output as the operator sees it in the desktop window: the output's name and
// state, messages sent and not sent, and the last few messages that went out. Polled once a
// second through the plug-in's optional output status (OutputStatusReader); a plug-in that tells
// none shows "not told by the plug-in".
//
// Contract: user-interface thread only; the provider is called from the panel's timer and never
// while a plug-in call is in progress (a box of the plug-in's may be open).

#include <QGroupBox>
#include <functional>
#include <optional>

#include "host/session/OutputStatusReader.h"

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

  explicit OutputStatusPanel(StatusProvider provider, QWidget* parent = nullptr);

  // Shows the status now; the timer also does it.
  void refresh();

 private:
  StatusProvider provider_;
  QTimer* timer_;
  QLabel* output_;
  QLabel* counts_;
  QPlainTextEdit* recent_;
};

}  // namespace notecast::host
