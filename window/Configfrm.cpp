// The window's controls: made, shown, hidden and taken away, and what the core tells them.

#include "window/Configfrm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "abi/Boundary.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

constexpr const char* kMissingTip = "Not there now: it opens by itself as soon as it is back.";

}  // namespace

Configfrm::Configfrm(PluginCore& core) : core_(core) {}

Configfrm::~Configfrm() {
  if (form_) core_.setView(nullptr);
}

void Configfrm::loadWindow() {
  form();
  updateStatusLabels();
}

void Configfrm::show() {
  ConfigfrmForm& window = form();
  window.show();
  window.raise();
  shown_ = true;
  updateStatusLabels();
  runStep([this] { core_.refreshDeviceList(); });
}

void Configfrm::hide() noexcept {
  if (form_) form_->hide();
  shown_ = false;
}

Configfrm::Presence Configfrm::presence() const noexcept {
  if (!core_.loaded()) return Presence::NotLoaded;
  return form_ && shown_ ? Presence::Shown : Presence::Hidden;
}

ConfigfrmForm& Configfrm::form() {
  if (!form_) createControls();
  core_.ensureLoaded();
  return *form_;
}

void Configfrm::makeControlsWhereShown() {
  if (!form_ && qobject_cast<QApplication*>(QCoreApplication::instance())) createControls();
}

// The controls show the core as it is; a core not loaded yet loads after (form()), and its load
// sequence shows itself step by step.
void Configfrm::createControls() {
  form_ = std::make_unique<ConfigfrmForm>();
  // The window offers no close of its own: the window manager's close hides it as OK does, so
  // the table and every unsaved edit stay (an unload would read the event file again at the
  // next load). Only the host unloads the window.
  form_->onCloseRequested = [this] { cmdOK_Click(); };
  connectHandlers();
  core_.setView(this);
}

void Configfrm::unloaded() {
  shown_ = false;
  form_.reset();
}

// The resets are the program's, not the user's: no handler runs, so nothing is stored into any
// entry.
void Configfrm::showCleared() {
  ConfigfrmForm& f = *form_;
  {
    const QSignalBlocker blocker(f.cboMidiOutput);
    f.cboMidiOutput->clear();
  }
  const std::pair<QLineEdit*, const char*> texts[] = {
      {f.txtDmx, "0"},   {f.txtMsg, "1"},     {f.txtData1, "0"},
      {f.txtData2, "0"}, {f.txtValue, "127"}, {f.txtShareName, ""},
  };
  for (const auto& [box, text] : texts) {
    const QSignalBlocker blocker(box);
    box->setText(QString::fromLatin1(text));
  }
  for (QCheckBox* check : {f.chkShowLine, f.chkSendOnlyOnce, f.chkSendNoteOff, f.chkShare}) {
    const QSignalBlocker blocker(check);
    check->setChecked(check == f.chkShowLine && core_.showLine());
  }
  f.lstView->clear();
  showEditingHint();
}

// Rebuilds the list in full from the table; never refills the editing controls.
void Configfrm::showEntries() {
  EntryListWidget* list = form_->lstView;
  list->showEntries(core_.eventTable());
  selectListRow(list, core_.highlightedRow());
  showEditingHint();
}

void Configfrm::showHighlight() {
  EntryListWidget* list = form_->lstView;
  if (list->selectedRow() != core_.highlightedRow()) selectListRow(list, core_.highlightedRow());
  const int row = core_.selectedEntry();
  if (row >= 0) fillEditingControls(row, false);
  showEditingHint();
}

// The rows, rebuilt without any handler running.
void Configfrm::showOutputs() {
  QComboBox* list = form_->cboMidiOutput;
  const QSignalBlocker blocker(list);
  list->clear();
  for (const OutputRow& row : core_.outputRows()) {
    list->addItem(QString::fromStdString(row.name));
    if (row.missing)
      list->setItemData(list->count() - 1, QString::fromLatin1(kMissingTip), Qt::ToolTipRole);
  }
  // The first row is the plug-in's own port, which other programs know by the MIDI system's name.
  if (const std::string own = core_.ownPort(); !own.empty() && list->count() > 0)
    list->setItemData(
        0, QStringLiteral("Other programs see this output as %1.").arg(QString::fromStdString(own)),
        Qt::ToolTipRole);
  selectComboRow(list, core_.chosenOutput());
}

// Formatting and setting two labels for every change of a window nobody sees took about a
// tenth of the dispatch: a hidden window catches up when it is shown or handed to the host.
void Configfrm::showLastChange() {
  if (shown_) updateStatusLabels();
}

// "255 [Midi: 127] ", the trailing blank included.
void Configfrm::updateStatusLabels() {
  if (!form_) return;
  const LastChange& last = core_.lastChange();
  if (last.channel) form_->lastchannellbl->setText(QString::number(*last.channel));
  if (last.value) {
    const auto [value, midiValue] = *last.value;
    form_->lastvaluelbl->setText(QStringLiteral("%1 [Midi: %2] ").arg(value).arg(midiValue));
  }
}

// pos() and move() are the outer frame's position, so a load and a save never shift the window.
void Configfrm::showPlace(const WindowPlace& place) {
  form_->move(place.left, place.top);
  if (place.state == this->place().state) return;
  switch (place.state) {
    case kMinimized:
      form_->setWindowState(Qt::WindowMinimized);
      break;
    case kMaximized:
      form_->setWindowState(Qt::WindowMaximized);
      break;
    default:
      form_->setWindowState(Qt::WindowNoState);
      break;
  }
}

WindowPlace Configfrm::place() const {
  WindowPlace place{kNormal, form_->x(), form_->y()};
  const Qt::WindowStates states = form_->windowState();
  if (states & Qt::WindowMinimized) {
    place.state = kMinimized;
  } else if (states & Qt::WindowMaximized) {
    place.state = kMaximized;
  }
  return place;
}

}  // namespace notecast
