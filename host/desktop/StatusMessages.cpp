#include "host/desktop/StatusMessages.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace notecast::host {
namespace {

const QString kEllipsis = QStringLiteral("…");
const QString kLogTimeFormat = QStringLiteral("HH:mm:ss  ");
constexpr QSize kLogSize{560, 280};

}  // namespace

// Shows as much of its text as fits its width, whole in the tool tip. Takes the width it is
// given rather than asking for its text's: a long message never widens the window.
class ElidedLabel : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
  }

  void setWholeText(const QString& text) {
    whole_ = text;
    setToolTip(text);
    fit();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    fit();
  }

 private:
  // One line in the bar, whatever line breaks the message holds.
  void fit() { setText(elideAtWord(whole_.simplified(), fontMetrics(), contentsRect().width())); }

  QString whole_;
};

QString elideAtWord(const QString& text, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  const QString withinWord = metrics.elidedText(text, Qt::ElideRight, width);
  QString kept = withinWord.endsWith(kEllipsis) ? withinWord.chopped(kEllipsis.size()) : withinWord;
  // Cut back to the last blank unless the next character begins a word anyway.
  if (kept.size() < text.size() && !text.at(kept.size()).isSpace()) {
    const qsizetype blank = kept.lastIndexOf(QLatin1Char(' '));
    if (blank > 0) kept.truncate(blank);
  }
  return kept.trimmed() + kEllipsis;
}

StatusMessages::StatusMessages(QStatusBar* bar)
    : QObject(bar),
      message_(new ElidedLabel(bar)),
      fade_(new QTimer(this)),
      log_(new QDialog(bar->window())),
      logText_(new QPlainTextEdit(log_)) {
  message_->setObjectName(kMessageName);
  bar->addWidget(message_, 1);
  auto* openLog = new QPushButton(tr("Messages…"), bar);
  openLog->setObjectName(kLogButtonName);
  openLog->setFlat(true);
  bar->addPermanentWidget(openLog);

  log_->setObjectName(kLogName);
  log_->setWindowTitle(tr("Messages - Notecast host"));
  logText_->setObjectName(kLogTextName);
  logText_->setReadOnly(true);
  logText_->setMaximumBlockCount(kLogLines);
  logText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // long lines wrap
  auto* column = new QVBoxLayout(log_);
  column->addWidget(logText_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, log_);
  column->addWidget(buttons);
  log_->resize(kLogSize);

  fade_->setSingleShot(true);
  connect(fade_, &QTimer::timeout, this, [this] { message_->setWholeText({}); });
  connect(openLog, &QPushButton::clicked, log_, [this] {
    log_->show();
    log_->raise();
    log_->activateWindow();
  });
  connect(buttons, &QDialogButtonBox::rejected, log_, &QDialog::hide);
}

void StatusMessages::show(const QString& text, int fadeMs) {
  message_->setWholeText(text);
  if (fadeMs > 0) {
    fade_->start(fadeMs);
  } else {
    fade_->stop();
  }
  logText_->appendPlainText(QTime::currentTime().toString(kLogTimeFormat) + text);
  logText_->verticalScrollBar()->setValue(logText_->verticalScrollBar()->maximum());
}

}  // namespace notecast::host
