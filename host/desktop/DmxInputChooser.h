#pragma once
// The operator's choice of the DMX input in the desktop window: the OLA universes to read ("1",
// "1,2"), or none (an empty field, or "none"). Apply (or Return in the field) checks the text
// and asks for the input; it changes nothing itself; the window's owner switches the input.
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

  // Shows the universes of `source` when it is an OLA source ("ola:1,2" shows "1,2"), else an
  // empty field.
  void showSource(const QString& source);

 signals:
  // `source`: "ola:1,2" for universes, empty for none.
  void chosen(const QString& source);
  // The text is no choice; `reason` says why ("\"0\" is not a universe 1..4194303").
  void refused(const QString& reason);

 private:
  void apply();

  QLineEdit* universes_;
};

}  // namespace notecast::host
