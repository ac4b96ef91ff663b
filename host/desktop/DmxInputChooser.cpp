#include "host/desktop/DmxInputChooser.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <stdexcept>

#include "host/dmx/DmxInput.h"
#include "host/dmx/DmxSource.h"

namespace notecast::host {
namespace {

const QString kNoneWord = QStringLiteral("none");

}  // namespace

DmxInputChooser::DmxInputChooser(QWidget* parent)
    : QWidget(parent), universes_(new QLineEdit(this)) {
  universes_->setObjectName(kUniversesName);
  universes_->setPlaceholderText(tr("none"));
  universes_->setToolTip(
      tr("The OLA universes to read, as 1 or 1,2; from a daemon elsewhere than 127.0.0.1:9010 "
         "as 1,2@HOST or 1,2@HOST:PORT (an IPv4 address or a name); empty for no DMX input"));
  auto* apply = new QPushButton(tr("Apply"), this);
  apply->setObjectName(kApplyName);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(universes_, 1);
  row->addWidget(apply);
  connect(apply, &QPushButton::clicked, this, &DmxInputChooser::apply);
  connect(universes_, &QLineEdit::returnPressed, this, &DmxInputChooser::apply);
}

void DmxInputChooser::showSource(const QString& source) {
  const QSignalBlocker quiet(universes_);
  universes_->setText(source.startsWith(DmxSource::kOlaPrefix)
                          ? source.mid(DmxSource::kOlaPrefix.size())
                          : QString());
}

void DmxInputChooser::apply() {
  // "1, 2 @ lightpc" is read as "1,2@lightpc".
  QString universes = universes_->text();
  universes.remove(QRegularExpression(QStringLiteral("\\s")));
  if (universes.isEmpty() || universes.compare(kNoneWord, Qt::CaseInsensitive) == 0) {
    emit chosen({});
    return;
  }
  const QString source = DmxSource::kOlaPrefix + universes;
  try {
    DmxInput::checkSource(source, false);
  } catch (const std::invalid_argument& error) {
    emit refused(QString::fromStdString(error.what()));
    return;
  }
  emit chosen(source);
}

}  // namespace notecast::host
