// The window's part in the dispatch of a channel change and in the command path: the table,
// the "Show line" option, the entry list and the MIDI output.

#include <QCheckBox>
#include <QLabel>

#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {

class Configfrm::DispatchToWindow final : public DispatchOutput {
 public:
  explicit DispatchToWindow(Configfrm& window) : window_(window) {}

  bool showLineTicked() override { return window_.form().chkShowLine->checkState() == Qt::Checked; }
  // The highlight and the editing controls move together: an edit must land on the entry the
  // controls show. Showing it writes nothing, so the walk goes on over an unchanged table.
  void selectRow(std::int32_t row) override {
    EntryListWidget* list = window_.form().lstView;
    if (list->selectedRow() == row) return;
    selectListRow(list, row);
    window_.showHighlightedEntry();
  }
  bool send(std::int32_t status, std::int32_t data1, std::int32_t data2) override {
    return window_.sendStep(status, data1, data2);
  }

 private:
  Configfrm& window_;
};

// The window is loaded before the first record is looked at: loading re-reads the event file
// into the table, which must not happen in the middle of the walk over it.
void Configfrm::ExecuteMidiEvent(std::int32_t channel, std::int32_t value) {
  (void)table_.GetEventCount();  // a table never dimensioned: error 9 before any control is used
  ensureLoaded();
  DispatchToWindow output(*this);
  dispatchChannelValue(table_, channelIndex_, channel, value, output);
}

void Configfrm::ExecuteMidiEventFromCommand(std::int32_t index) {
  ensureLoaded();
  DispatchToWindow output(*this);
  sendRecordOnCommand(table_, index, output);
}

void Configfrm::showLastChannel(std::int32_t channel) {
  unshown_.channel = channel;
  if (presence_ == Presence::Shown) updateStatusLabels();
}

void Configfrm::showLastValue(std::int32_t value, std::int16_t midiValue) {
  unshown_.value = {value, midiValue};
  if (presence_ == Presence::Shown) updateStatusLabels();
}

// "255 [Midi: 127] ", the trailing blank included.
void Configfrm::updateStatusLabels() {
  if (!form_) return;
  if (unshown_.channel) form_->lastchannellbl->setText(QString::number(*unshown_.channel));
  if (unshown_.value) {
    const auto [value, midiValue] = *unshown_.value;
    form_->lastvaluelbl->setText(QStringLiteral("%1 [Midi: %2] ").arg(value).arg(midiValue));
  }
  unshown_ = {};
}

}  // namespace notecast
