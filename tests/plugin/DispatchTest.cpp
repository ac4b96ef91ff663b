// The main job end to end in process: a channel change reported as message 15 reaches the
// dispatch, which sends through the (recording) MIDI output; and shared events fired through
// the command server.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>
#include <functional>
#include <utility>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "engine/EventType.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"
#include "tests/plugin/FakeHelper.h"
#include "tests/support/EventBuilder.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

using Message = RecordingMidiOutput::Message;
using Messages = std::vector<Message>;

using testing::event;

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    plugin_ = makeComObject<clsLumoPlugIn>().query<lumo::ILumoPlugin>();
    VARIANT_BOOL ignored;
    plugin_->Init("host", "Notecast.so", testing::FakeHelper::withProject(dir_.file("show")).get(),
                  &ignored);
    ComPtr<lumo::IModuleInformation> info;
    plugin_.query<lumo::ILumoModule>()->get_ModuleInfo(info.put());
    info->get_CommandServer(commands_.put());
  }
  void TearDown() override {
    commands_.reset();
    plugin_.reset();
    setMidiOutputFactory({});
  }

  // Loads the window (which starts from a cleared table), then puts `events` in the table.
  void loadTable(std::vector<MidiEvent> events) {
    window().form();
    core().table().assign(std::move(events));
    core().refreshEntryList();
    midi_.clearLog();
  }
  PluginCore& core() { return PluginGlobals::core(); }
  HostWindow& hostWindow() { return PluginGlobals::hostWindow(); }
  Configfrm& window() { return PluginGlobals::window(); }
  ConfigfrmForm& form() { return window().form(); }
  // The status labels as the host gets them: through loadWindow, which brings them up to date.
  QString channelLabel() { return handedOut().lastchannellbl->text(); }
  QString valueLabel() { return handedOut().lastvaluelbl->text(); }
  ConfigfrmForm& handedOut() {
    VARIANT_BOOL ignored;
    hostWindow().loadWindow(&ignored);
    return form();
  }
  Messages sentSince(std::size_t first) const {
    return Messages(midi_.sent().begin() + static_cast<std::ptrdiff_t>(first), midi_.sent().end());
  }

  HRESULT dmx(std::int32_t channel, std::int32_t value) {
    std::int32_t msg = 15, result = -1;
    const HRESULT hr = plugin_->MessageHandle(&msg, &channel, &value, &result);
    EXPECT_EQ(result, 0);
    return hr;
  }
  // The messages one change sends.
  Messages change(std::int32_t channel, std::int32_t value) {
    const std::size_t before = midi_.sent().size();
    EXPECT_EQ(dmx(channel, value), S_OK);
    return sentSince(before);
  }
  HRESULT execute(std::string first, std::string second) {
    Variant newValue, stream, additional, result = Variant::fromInt32(1);
    const HRESULT hr =
        commands_->ExecuteCommand(&first, &second, &newValue, &stream, &additional, &result);
    EXPECT_TRUE(result.isEmpty()) << "ExecuteCommand answers an empty variant";
    return hr;
  }

  testing::TempDir dir_;
  RecordingMidiOutput midi_;
  ComPtr<lumo::ILumoPlugin> plugin_;
  ComPtr<lumo::ICommandServer> commands_;
};

// The dispatch's rules are the engine's, tested there (tests/engine/ChannelDispatchTest.cpp);
// here: a change reported as message 15 reaches them, and each kind's bytes go out.
TEST_F(DispatchTest, AChangeReachesTheDispatchAndEachKindsBytesGoOut) {
  loadTable({event(1, EventType::AboveValue, 144, 60, 100, 128),
             event(2, EventType::BelowValue, 145, 61, 90, 10),
             event(3, EventType::ValueChange, 146, 62, 80),
             event(4, EventType::Data1FromValue, 176, 7, 64),
             event(5, EventType::Data2FromValue, 177, 7, 64)});
  EXPECT_EQ(change(1, 127), Messages{});
  EXPECT_EQ(change(1, 128), (Messages{{144, 60, 100}}));
  EXPECT_EQ(change(2, 10), (Messages{{145, 61, 90}}));
  EXPECT_EQ(change(3, 0), (Messages{{146, 62, 80}}));
  EXPECT_EQ(change(4, 255), (Messages{{176, 127, 64}}));
  EXPECT_EQ(change(5, 101), (Messages{{177, 7, 50}}));
}

// The highlight that Show line moves takes the editing controls with it, and every record on
// the channel still fires: a keystroke afterwards lands on the entry the controls show.
TEST_F(DispatchTest, ShowLineMovesTheEditingControlsWithTheHighlight) {
  loadTable({event(1, EventType::ValueChange, 144, 11, 1),
             event(2, EventType::ValueChange, 144, 22, 1),
             event(2, EventType::ValueChange, 144, 33, 1)});
  core().setHighlightedRow(0);
  selectListRow(form().lstView, 0);
  form().chkShowLine->setChecked(true);
  EXPECT_EQ(change(2, 9).size(), 2u) << "both records of channel 2 fire";
  EXPECT_EQ(form().lstView->selectedRow(), 2);
  EXPECT_EQ(form().txtData1->text(), "33");

  form().txtData1->setFocus();
  form().txtData1->end(false);
  QTest::keyClick(form().txtData1, Qt::Key_Backspace);
  EXPECT_EQ(core().eventTable().record(2).Data1, 3);
  EXPECT_EQ(core().eventTable().record(0).Data1, 11) << "the entry shown before is untouched";
}

// Showing the entry a change or a command selects writes nothing into it: a value-mapping record
// keeps its "Send only once", the walk reaches every record, and the file does not count as
// changed.
TEST_F(DispatchTest, ShowLineShowsTheSelectedEntriesWithoutWritingThem) {
  MidiEvent mapped = event(2, EventType::Data2FromValue, 154, 2, 2);
  mapped.SendOnlyOnce = 1;
  mapped.Share = 1;
  mapped.ShareName = "Mapped";
  loadTable({event(2, EventType::ValueChange, 145, 1, 1), mapped,
             event(2, EventType::ValueChange, 155, 3, 3)});
  core().saveCfgFile();
  form().chkShowLine->setChecked(true);
  EXPECT_EQ(change(2, 10), (Messages{{145, 1, 1}, {154, 2, 5}, {155, 3, 3}}));
  EXPECT_EQ(execute("1", "EXECUTE"), S_OK);
  EXPECT_EQ(form().lstView->selectedRow(), 1);
  EXPECT_EQ(form().txtData1->text(), "2") << "the controls show the selected entry";
  EXPECT_EQ(core().eventTable().record(1).SendOnlyOnce, 1);
  EXPECT_FALSE(core().isCfgFileModified());
}

TEST_F(DispatchTest, LabelsShowTheChannelAndTheValueWithItsMidiHalf) {
  loadTable({event(1, EventType::ValueChange, 144, 1, 1)});
  change(12, 255);
  EXPECT_EQ(channelLabel(), "12");
  EXPECT_EQ(valueLabel(), "255 [Midi: 127] ");
  change(1, -7);
  EXPECT_EQ(valueLabel(), "-7 [Midi: -3] ");
}

// A hidden window's labels wait for the window; a shown one's follow every change, and a new
// window starts empty whatever its predecessor missed.
TEST_F(DispatchTest, LabelsFollowChangesWhileShownAndCatchUpWhenShown) {
  loadTable({event(1, EventType::ValueChange, 144, 1, 1)});
  const QString emptyChannel = form().lastchannellbl->text();
  change(5, 20);
  EXPECT_EQ(form().lastchannellbl->text(), emptyChannel) << "nobody sees a hidden window";
  hostWindow().configureFromHost();
  EXPECT_EQ(form().lastchannellbl->text(), "5");
  EXPECT_EQ(form().lastvaluelbl->text(), "20 [Midi: 10] ");
  change(6, 40);
  EXPECT_EQ(form().lastchannellbl->text(), "6") << "shown: at once";
  EXPECT_EQ(form().lastvaluelbl->text(), "40 [Midi: 20] ");

  VARIANT_BOOL ignored;
  hostWindow().hideWindow(&ignored);
  change(7, 60);
  hostWindow().unloadWindow(&ignored);
  EXPECT_EQ(channelLabel(), emptyChannel);
}

TEST_F(DispatchTest, AValueWhoseHalfOverflows16BitsSetsTheChannelLabelOnly) {
  loadTable({event(1, EventType::ValueChange, 144, 1, 1)});
  change(1, 10);
  EXPECT_EQ(dmx(3, 65536), static_cast<HRESULT>(0x800A0006u));
  EXPECT_EQ(channelLabel(), "3");
  EXPECT_EQ(valueLabel(), "10 [Midi: 5] ");
  EXPECT_EQ(dmx(3, 65535), S_OK) << "32767 still fits";
}

TEST_F(DispatchTest, FirstOptionsOfferSharedNamedRecordsOnly) {
  MidiEvent strobe = event(1, EventType::ValueChange, 144, 1, 1);
  strobe.Share = 1;
  strobe.ShareName = "Strobe";
  MidiEvent fog = strobe;
  fog.Share = 0;
  fog.ShareName = "Fog";
  MidiEvent unnamed = strobe;
  unnamed.ShareName = "";
  loadTable({strobe, fog, unnamed, strobe});
  ComPtr<lumo::IOptionList> options;
  ASSERT_EQ(commands_->GetFirstOptions(options.put()), S_OK);
  std::int32_t count = 0;
  options->get_Count(&count);
  ASSERT_EQ(count, 2) << "no duplicate check: two records named Strobe give two entries";
  Variant caption, value;
  options->GetEntry(0, &caption, &value);
  EXPECT_EQ(caption.asString(), "Strobe");
  EXPECT_EQ(value.asInt32(), 0);
  options->GetEntry(1, &caption, &value);
  EXPECT_EQ(value.asInt32(), 3);

  std::string first = "ignored";
  ASSERT_EQ(commands_->GetSecondOptions(&first, options.put()), S_OK);
  options->get_Count(&count);
  ASSERT_EQ(count, 1);
  options->GetEntry(0, &caption, &value);
  EXPECT_EQ(caption.asString(), "Execute");
  EXPECT_EQ(value.asString(), "EXECUTE");
}

TEST_F(DispatchTest, CommandsWithoutATableFailWithSubscriptError) {
  ComPtr<lumo::IOptionList> options;
  EXPECT_EQ(commands_->GetFirstOptions(options.put()), static_cast<HRESULT>(0x800A0009u));
  EXPECT_FALSE(options);
}

TEST_F(DispatchTest, ExecuteSendsTheRecordWhateverItsTriggerAndOnlyForExecute) {
  MidiEvent mapped = event(9, EventType::Data1FromValue, 176, 7, 64);
  mapped.Share = 1;
  mapped.ShareName = "Fade";
  MidiEvent threshold = event(9, EventType::AboveValue, 144, 60, 100, 50);
  threshold.SendOnlyOnce = 1;
  threshold.Share = 1;
  threshold.ShareName = "Hit";
  loadTable({mapped, threshold});
  core().table().setOnceAbove(1, true);
  EXPECT_EQ(execute("0", "execute"), S_OK);
  EXPECT_EQ(execute("1", "Execute"), S_OK);
  EXPECT_EQ(midi_.sent(), (Messages{{176, 7, 64}, {144, 60, 100}}));
  EXPECT_EQ(execute("0", "Run"), S_OK);
  EXPECT_EQ(midi_.sent().size(), 2u);

  core().table().setField(0, MidiEventField::Share, 0);  // switched off after the options
  EXPECT_EQ(execute(" 0 ", "EXECUTE"), S_OK);
  EXPECT_EQ(midi_.sent().size(), 3u);
}

TEST_F(DispatchTest, ExecuteWithABadSelectionFailsBeforeSending) {
  loadTable({event(1, EventType::ValueChange, 144, 1, 1)});
  form().chkShowLine->setChecked(true);
  EXPECT_EQ(execute("Strobe", "EXECUTE"), static_cast<HRESULT>(0x800A000Du));
  EXPECT_EQ(execute("", "EXECUTE"), static_cast<HRESULT>(0x800A000Du));
  EXPECT_EQ(execute("1", "EXECUTE"), static_cast<HRESULT>(0x800A0009u));
  EXPECT_EQ(execute("-1", "EXECUTE"), static_cast<HRESULT>(0x800A0009u));
  EXPECT_EQ(execute("99999999999", "EXECUTE"), static_cast<HRESULT>(0x800A0006u));
  EXPECT_TRUE(midi_.sent().empty());
  EXPECT_EQ(execute("0", "EXECUTE"), S_OK);
  EXPECT_EQ(form().lstView->selectedRow(), 0) << "Show line selects the fired record's row";
}

}  // namespace
}  // namespace notecast
