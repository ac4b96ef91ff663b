#pragma once
// The desktop window's messages as the operator reads them: the newest in the status bar, cut at
// a word with "…" when it does not fit and whole in its tool tip, and every message of the run,
// with its time, in a log the status bar's "Messages" button opens. Successes fade from the
// status bar after a while; failures stay until the next message. The log keeps the newest
// kLogLines.
//
// Contract: user-interface thread only; `bar` outlives this object (its parent).

#include <QFontMetrics>
#include <QObject>
#include <QString>

class QDialog;
class QPlainTextEdit;
class QStatusBar;
class QTimer;

namespace notecast::host {

class ElidedLabel;

// `text` cut after its last whole word that fits `width` with "…" behind it; within a word when
// even the first does not fit; `text` itself when it fits.
QString elideAtWord(const QString& text, const QFontMetrics& metrics, int width);

class StatusMessages : public QObject {
  Q_OBJECT

 public:
  // objectNames.
  static constexpr const char* kMessageName = "statusMessage";
  static constexpr const char* kLogButtonName = "messagesButton";
  static constexpr const char* kLogName = "messageLog";
  static constexpr const char* kLogTextName = "messageLogText";

  static constexpr int kLogLines = 1000;

  explicit StatusMessages(QStatusBar* bar);

  // Shows `text` and adds it to the log; a `fadeMs` above 0 clears it from the bar after that
  // long unless another message came meanwhile.
  void show(const QString& text, int fadeMs = 0);

 private:
  ElidedLabel* message_;
  QTimer* fade_;
  QDialog* log_;
  QPlainTextEdit* logText_;
};

}  // namespace notecast::host
