#pragma once
// The operator's choice of the DMX input in the desktop window: the OLA universes to read ("1",
// "1,2"), with the daemon's address when it is not 127.0.0.1:9010 ("1,2@192.168.1.20",
// "1@lightpc:9011"), or none (an empty field, or "none"). Apply (or Return in the field) checks
// the text and asks for the input; it changes nothing itself; the window's owner switches the
// input.
// Standard input and replays are chosen on the command line only.
//
// Contract: user-interface thread only.

#include <QString>
#include <QWidget>

class QLineEdit;

namespace notecast::host {

class DmxInputChooser : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kUniversesName = "dmxUniverses";
  static constexpr const char* kApplyName = "dmxApply";

  explicit DmxInputChooser(QWidget* parent = nullptr);

  // Shows the universes of `source` when it is an OLA source ("ola:1,2" shows "1,2",
  // "ola:1@lightpc" shows "1@lightpc"), else an empty field.
  void showSource(const QString& source);

 signals:
  // `source`: "ola:1,2" or "ola:1,2@HOST[:PORT]" for universes, empty for none.
  void chosen(const QString& source);
  // The text is no choice; `reason` says why ("\"0\" is not a universe 1..4194303").
  void refused(const QString& reason);

 private:
  void apply();

  QLineEdit* universes_;
};

}  // namespace notecast::host
