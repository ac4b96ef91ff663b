#include "host/desktop/DmxStatusPanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QTimer>

namespace notecast::host {
namespace {

constexpr int kRateDecimals = 1;
constexpr const char* kNoValue = "-";

}  // namespace

DmxStatusPanel::DmxStatusPanel(StatusProvider provider, QWidget* parent)
    : QGroupBox(tr("DMX input"), parent),
      timer_(new QTimer(this)),
      rows_(new QFormLayout(this)),
      chooser_(new DmxInputChooser(this)) {
  setObjectName(kPanelName);
  rows_->addRow(tr("OLA universes:"), chooser_);
  source_ = addRow(tr("Source:"), kSourceName);
  state_ = addRow(tr("State:"), kStateName);
  rate_ = addRow(tr("Frames per second:"), kRateName);
  frames_ = addRow(tr("Frames:"), kFramesName);
  changes_ = addRow(tr("Changes:"), kChangesName);
  lastChange_ = addRow(tr("Last change:"), kLastChangeName);
  folded_ = addRow(tr("Folded frames:"), kFoldedName);

  connect(timer_, &QTimer::timeout, this, &DmxStatusPanel::refresh);
  showInput(std::move(provider), {});
}

void DmxStatusPanel::showInput(StatusProvider provider, const QString& source) {
  provider_ = std::move(provider);
  chooser_->showSource(source);
  // Without an input nothing ever changes, so there is nothing to poll.
  if (provider_) {
    timer_->start(kRefreshIntervalMs);
  } else {
    timer_->stop();
  }
  refresh();
}

QLabel* DmxStatusPanel::addRow(const QString& caption, const char* objectName) {
  auto* value = new QLabel(this);
  value->setObjectName(objectName);
  value->setTextInteractionFlags(Qt::TextSelectableByMouse);
  rows_->addRow(caption, value);
  return value;
}

void DmxStatusPanel::refresh() {
  if (provider_) {
    display(provider_());
    return;
  }
  source_->setText(tr("no DMX input chosen"));
  for (QLabel* label : {state_, rate_, frames_, changes_, lastChange_, folded_})
    label->setText(kNoValue);
}

void DmxStatusPanel::display(const DmxInputStatus& status) {
  source_->setText(status.source);
  state_->setText(status.state);
  rate_->setText(QString::number(status.framesPerSecond, 'f', kRateDecimals));
  frames_->setText(QString::number(status.frames));
  changes_->setText(QString::number(status.changes));
  // Channel 0 does not exist: it marks that no change has come yet.
  lastChange_->setText(status.lastChannel == 0
                           ? tr("none yet")
                           : tr("channel %1 = %2").arg(status.lastChannel).arg(status.lastValue));
  folded_->setText(QString::number(status.folded));
}

}  // namespace notecast::host
