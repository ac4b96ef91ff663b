#pragma once
// A loaded and shown configuration window on a recording MIDI control, for the tests that edit
// entries through the window's controls as a user does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiInput.h"
#include "tests/window/WindowUnderTest.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"

namespace notecast::testing {

inline MidiEvent eventWith(std::int32_t channel, std::int32_t status = 144) {
  MidiEvent event = MidiEvent::added();
  event.DMXChannel = channel;
  event.MIDIMessage = status;
  return event;
}

class EntryWindowFixture {
 protected:
  EntryWindowFixture() {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    window_->core.setProjectBaseSource([this] { return dir_.file("show"); });
    form_ = &window_->view.form();
    VARIANT_BOOL ignored;
    window_->host.showWindow(&ignored);
  }
  ~EntryWindowFixture() {
    window_.reset();
    setMidiOutputFactory({});
  }

  void load(std::vector<MidiEvent> events) {
    window_->core.table().assign(std::move(events));
    window_->core.refreshEntryList();
  }
  std::vector<MidiEvent> entries() const {
    std::vector<MidiEvent> all;
    for (std::int32_t i = 0; i < window_->core.eventTable().size(); ++i)
      all.push_back(window_->core.eventTable().record(i));
    return all;
  }
  const MidiEvent& entry(int index) const { return window_->core.eventTable().record(index); }
  std::string line(int row) const { return form_->lstView->rowText(row).toStdString(); }
  void select(int row) { clickListRow(form_->lstView, row); }
  // The whole text in one user edit: select all, paste.
  void paste(QLineEdit* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
  }

  TempDir dir_;
  RecordingMidiOutput midi_;
  std::unique_ptr<WindowUnderTest> window_ = std::make_unique<WindowUnderTest>();
  ConfigfrmForm* form_ = nullptr;
};

}  // namespace notecast::testing
