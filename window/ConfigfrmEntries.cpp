// Entry list management: the entry the editing controls write to, New and Delete, and the
// enabling rules of the event types.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <optional>

#include "abi/Boundary.h"
#include "engine/EventType.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"

namespace notecast {

int Configfrm::selectedEntry() const {
  if (!form_ || table_.IsArrayEmpty()) return -1;
  const int row = form_->lstView->selectedRow();
  return row >= 0 && row < table_.size() ? row : -1;
}

// The highlight stays where it was; the new entry's row is not selected.
void Configfrm::cmdNew_Click() {
  // A full table (EventTable::kMaxRecords) takes no more entries: the click adds nothing.
  runStep([this] { table_.append(MidiEvent::added()); });
  runStep([this] { refreshEntryList(); });
}

// The entries after the deleted one move up whole, each with its own once flags; deleting the
// only entry leaves the blank entry. With no row selected nothing is deleted. The highlight moves
// onto another entry, and the editing controls show that entry: an edit must land on the entry
// the controls show, never on one shown only in the list.
void Configfrm::cmdDelete_Click() {
  const int row = selectedEntry();
  if (row < 0) {
    runStep([this] { refreshEntryList(); });
    return;
  }
  runStep([this, row] { table_.remove(row); });
  runStep([this] { refreshEntryList(); });
  runStep([this] { showHighlightedEntry(); });
}

// Sets the enabled states for the type shown in the event box; with no row shown nothing
// changes. The value-mapping types send on every change, so their entry's "Send only once" is
// cleared, while the box keeps its tick and the list is not rebuilt.
void Configfrm::updateEventTypeControls() {
  applyEventTypeRules(true);
}

void Configfrm::applyEventTypeRules(bool clearOnce) {
  ConfigfrmForm& f = form();
  const std::optional<EventTypeTraits> traits = traitsOf(f.cboEvent->currentIndex());
  if (!traits) return;
  // A data byte the channel value replaces is not typed; a threshold needs its Value.
  f.txtData1->setEnabled(traits->valueTarget != ValueTarget::Data1);
  f.txtData2->setEnabled(traits->valueTarget != ValueTarget::Data2);
  f.txtValue->setEnabled(traits->threshold != Threshold::None);
  f.chkSendOnlyOnce->setEnabled(traits->sendsStaticMessage());
  if (traits->sendsStaticMessage() || !clearOnce) return;
  const int row = selectedEntry();
  if (row >= 0) runStep([this, row] { table_.setField(row, MidiEventField::SendOnlyOnce, 0); });
}

}  // namespace notecast
