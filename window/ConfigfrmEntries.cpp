// Entry list management: the entry the editing controls write to, New and Delete, and the
// enabling rules of the event types.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>

#include "engine/EventType.h"
#include "platform/Boundary.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"

namespace notecast {
namespace {

// Which of the four governed controls an event type offers: a threshold only for the two
// threshold types, no data byte that the channel value replaces, "Send only once" only for the
// static types.
struct EnabledControls {
  bool data1, data2, value, sendOnlyOnce;
};
constexpr std::array<EnabledControls, kEventTypeCaptions.size()> kEnabledByType = {{
    {true, true, true, true},     // AboveValue
    {true, true, true, true},     // BelowValue
    {true, true, false, true},    // ValueChange
    {false, true, false, false},  // Data1FromValue
    {true, false, false, false},  // Data2FromValue
}};

}  // namespace

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
// only entry leaves the blank entry. With no row selected nothing is deleted. The editing controls
// keep showing the deleted entry until the user selects a row.
void Configfrm::cmdDelete_Click() {
  const int row = selectedEntry();
  if (row >= 0) runStep([this, row] { table_.remove(row); });
  runStep([this] { refreshEntryList(); });
}

// Sets the enabled states for the type shown in the event box; with no row shown nothing
// changes. The value-mapping types send on every change, so their entry's "Send only once" is
// cleared, while the box keeps its tick and the list is not rebuilt.
void Configfrm::updateEventTypeControls() {
  ConfigfrmForm& f = form();
  const int type = f.cboEvent->currentIndex();
  if (type < 0 || type >= static_cast<int>(kEnabledByType.size())) return;
  const EnabledControls& enabled = kEnabledByType[static_cast<std::size_t>(type)];
  f.txtData1->setEnabled(enabled.data1);
  f.txtData2->setEnabled(enabled.data2);
  f.txtValue->setEnabled(enabled.value);
  f.chkSendOnlyOnce->setEnabled(enabled.sendOnlyOnce);
  const auto eventType = static_cast<EventType>(type);
  if (eventType != EventType::Data1FromValue && eventType != EventType::Data2FromValue) return;
  const int row = selectedEntry();
  if (row >= 0) runStep([this, row] { table_.setField(row, MidiEventField::SendOnlyOnce, 0); });
}

}  // namespace notecast
