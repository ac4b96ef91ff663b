#include "host/desktop/OutputStatusPanel.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

namespace notecast::host {
namespace {

constexpr int kRecentLinesShown = 8;

QString stateText(OutputState state) {
  switch (state) {
    case OutputState::kOpen:
      return QObject::tr("open");
    case OutputState::kMissing:
      return QObject::tr("missing, waiting for it to come back");
    case OutputState::kStalled:
      return QObject::tr("stalled: the JACK server is not running its cycles");
    case OutputState::kNone:
      break;
  }
  return QObject::tr("closed");
}

}  // namespace

OutputStatusPanel::OutputStatusPanel(StatusProvider provider, PluginGate& gate, QWidget* parent)
    : QGroupBox(tr("MIDI output"), parent),
      provider_(std::move(provider)),
      gate_(gate),
      timer_(new QTimer(this)),
      output_(new QLabel(this)),
      counts_(new QLabel(this)),
      recent_(new QPlainTextEdit(this)) {
  setObjectName(kPanelName);
  output_->setObjectName(kOutputName);
  counts_->setObjectName(kCountsName);
  recent_->setObjectName(kRecentName);
  recent_->setReadOnly(true);
  recent_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  recent_->setMaximumHeight(recent_->fontMetrics().lineSpacing() * (kRecentLinesShown + 1));
  auto* rows = new QFormLayout(this);
  rows->addRow(tr("Output:"), output_);
  rows->addRow(tr("Messages:"), counts_);
  rows->addRow(tr("Last sent:"), recent_);
  connect(timer_, &QTimer::timeout, this, &OutputStatusPanel::refresh);
  timer_->start(kRefreshIntervalMs);
  refresh();
}

void OutputStatusPanel::refresh() {
  // Inside a plug-in call (its box is open) the plug-in is not asked anything else.
  if (gate_.busy()) return;
  std::optional<OutputStatusSnapshot> status;
  if (provider_) {
    const PluginGate::Call read(gate_);
    status = provider_();
  }
  if (!status) {
    output_->setText(tr("not told by the plug-in"));
    counts_->setText(QStringLiteral("-"));
    recent_->clear();
    return;
  }
  output_->setText(status->name.empty()
                       ? tr("none chosen")
                       : QString::fromStdString(status->name) + " - " + stateText(status->state));
  counts_->setText(tr("%1 sent, %2 not sent").arg(status->sent).arg(status->notSent));
  const QString recent = QString::fromStdString(status->recentMessages).trimmed();
  if (recent_->toPlainText() == recent) return;
  // The newest message is the last line: a new text, which starts at the top, scrolls to it.
  recent_->setPlainText(recent);
  recent_->verticalScrollBar()->setValue(recent_->verticalScrollBar()->maximum());
}

}  // namespace notecast::host
