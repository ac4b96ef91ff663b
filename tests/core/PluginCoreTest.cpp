// The dispatch and the command path at the core, without a window and without a Qt
// application: the rules of the walk are the engine's (tests/engine); here, what the core adds
// to them: the load before the walk, "Show line" moving the highlight, the send step and its
// count, and a box during a send.

#include "core/PluginCore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <utility>

#include "abi/RuntimeError.h"
#include "core/BoxRequests.h"
#include "tests/support/EventBuilder.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using Message = RecordingMidiOutput::Message;
using Messages = std::vector<Message>;
using testing::event;

constexpr std::int32_t kSubscriptOutOfRange = 9;

// The recording output whose next send runs `duringSend`, as a device report does.
class ReportingMidiOutput final : public RecordingMidiOutput {
 public:
  using RecordingMidiOutput::RecordingMidiOutput;
  void setAction(std::int32_t action) override {
    RecordingMidiOutput::setAction(action);
    if (action != static_cast<std::int32_t>(MidiAction::kSend)) return;
    if (auto during = std::exchange(duringSend, {})) during();
  }

  std::function<void()> duringSend;
};

// The host's answerer: counts the boxes and runs `whileOpen` inside the next one.
class Answerer final : public IBoxAnswerer {
 public:
  BoxAnswer AnswerBox(const char*, const char*, BoxButtons, BoxIcon,
                      BoxAnswer defaultButton) noexcept override {
    ++boxes;
    if (auto during = std::exchange(whileOpen, {})) during();
    return defaultButton;
  }
  int boxes = 0;
  std::function<void()> whileOpen;
};

class PluginCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    BoxRequests::setHostAnswerer(&answerer_);
    core_.setProjectBaseSource([this] { return dir_.file("show"); });
  }
  void TearDown() override {
    core_.unload();
    BoxRequests::setHostAnswerer(nullptr);
    setMidiOutputFactory({});
  }

  // Loads the core (which starts from a cleared table), then puts `events` in the table.
  void loadTable(std::vector<MidiEvent> events) {
    core_.ensureLoaded();
    core_.table().assign(std::move(events));
    midi_.clearLog();
  }
  Messages sentSince(std::size_t first) const {
    return Messages(midi_.sent().begin() + static_cast<std::ptrdiff_t>(first), midi_.sent().end());
  }
  Messages change(std::int32_t channel, std::int32_t value) {
    const std::size_t before = midi_.sent().size();
    core_.ExecuteMidiEvent(channel, value);
    return sentSince(before);
  }
  Messages command(std::int32_t index) {
    const std::size_t before = midi_.sent().size();
    core_.ExecuteMidiEventFromCommand(index);
    return sentSince(before);
  }
  // The event file on disk holds one record of channel 1 sending 150 1 1.
  void writeOneRecordFile() {
    testing::writeBytes(dir_.file("show.Notecast"),
                        "[General]\r\nCount=0\r\n[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=150\r\n"
                        "Data1=1\r\nData2=1\r\nTyp=2\r\n");
  }

  testing::TempDir dir_;
  ReportingMidiOutput midi_{{"synth:in"}};
  Answerer answerer_;
  PluginCore core_;
};

TEST_F(PluginCoreTest, ANeverDimensionedTableFailsBeforeAnythingLoads) {
  try {
    core_.ExecuteMidiEvent(1, 255);
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), kSubscriptOutOfRange);
  }
  EXPECT_FALSE(core_.loaded());
  EXPECT_TRUE(midi_.log().empty());
}

// The load re-reads the event file into the table before the first record is looked at.
TEST_F(PluginCoreTest, AnUnloadedCoreLoadsBeforeTheWalkAndItRunsOnTheLoadedTable) {
  writeOneRecordFile();
  loadTable(
      {event(1, EventType::ValueChange, 144, 1, 1), event(1, EventType::ValueChange, 145, 1, 1)});
  core_.unload();
  EXPECT_EQ(change(1, 5), (Messages{{150, 1, 1}}));
  EXPECT_TRUE(core_.loaded());
}

TEST_F(PluginCoreTest, ShowLineHighlightsEachRecordItReachesAndNothingWithoutIt) {
  MidiEvent unknownType = event(3, EventType::ValueChange, 144, 1, 1);
  unknownType.Typ = 7;
  MidiEvent other = event(4, EventType::AboveValue, 144, 1, 1, 10);
  other.SendOnlyOnce = 1;
  loadTable({other, unknownType, event(3, EventType::ValueChange, 145, 2, 2)});
  EXPECT_EQ(change(4, 20).size(), 1u);
  EXPECT_EQ(core_.highlightedRow(), -1) << "without Show line nothing is highlighted";

  core_.setShowLine(true);
  EXPECT_EQ(change(3, 9), (Messages{{145, 2, 2}})) << "type 7 sends nothing";
  EXPECT_EQ(core_.highlightedRow(), 2) << "the walk highlighted row 1, then row 2";
  EXPECT_TRUE(core_.eventTable().onceAbove(0)) << "another channel's record keeps its flag";
  EXPECT_EQ(command(0), (Messages{{144, 1, 1}}));
  EXPECT_EQ(core_.highlightedRow(), 0) << "the command path highlights its record too";
}

TEST_F(PluginCoreTest, AFailingMidiWriteEndsTheDispatchAtThatRecord) {
  MidiEvent later = event(1, EventType::AboveValue, 146, 1, 1, 0);
  later.SendOnlyOnce = 1;
  loadTable({event(1, EventType::ValueChange, 144, 1, 1),
             event(1, EventType::ValueChange, 145, 1, 1), later});
  midi_.failOnWrite(6);  // the second record's DataByte2
  EXPECT_THROW(core_.ExecuteMidiEvent(1, 77), RuntimeError);
  EXPECT_EQ(midi_.sent().size(), 1u) << "only the first record went out";
  EXPECT_FALSE(core_.eventTable().onceAbove(2)) << "the third record was not evaluated";
}

TEST_F(PluginCoreTest, EditsOfTheTableTakeEffectOnTheNextChange) {
  loadTable(
      {event(1, EventType::ValueChange, 144, 1, 1), event(2, EventType::ValueChange, 145, 1, 1)});
  EXPECT_EQ(change(1, 5).size(), 1u);
  core_.table().setField(1, MidiEventField::DMXChannel, 1);
  EXPECT_EQ(change(1, 5), (Messages{{144, 1, 1}, {145, 1, 1}}));
  core_.table().remove(0);
  EXPECT_EQ(change(1, 5), (Messages{{145, 1, 1}}));
  EXPECT_EQ(change(2, 5), Messages{});
}

TEST_F(PluginCoreTest, AStatusThatStartsNoMessageIsNotSentAndHasNoNoteOffOrOnceFlag) {
  MidiEvent custom = event(1, EventType::ValueChange, 4, 1, 1);
  custom.SendNoteOff = 1;
  MidiEvent sysEx = event(1, EventType::AboveValue, 0xF7, 1, 1, 10);
  sysEx.SendNoteOff = 1;
  sysEx.SendOnlyOnce = 1;
  loadTable({custom, sysEx});
  EXPECT_EQ(change(1, 50), (Messages{{4, 1, 1}, {0xF7, 1, 1}}))
      << "handed to the output, which sends nothing for them: no note-off follows";
  EXPECT_FALSE(core_.eventTable().onceAbove(1)) << "what did not go out does not hold";
  EXPECT_EQ(command(0), (Messages{{4, 1, 1}}));
  EXPECT_EQ(core_.sendLog().sent(), 0);
  EXPECT_EQ(core_.sendLog().notSent(), 3);
}

// A device report's box during a send may change the table or unload the core: the send that
// was under way stays whole (its note-off is the record's as it was), the rest of the walk
// belonged to the old table.
TEST_F(PluginCoreTest, ABoxDuringASendThatChangesTheTableOrUnloadsLeavesTheSendWhole) {
  MidiEvent first = event(1, EventType::ValueChange, 0x93, 60, 100);
  first.SendNoteOff = 1;
  const MidiEvent replacement = event(1, EventType::ValueChange, 0xB5, 7, 8);
  const auto boxDuringNextSend = [this](std::function<void()> whileOpen) {
    answerer_.whileOpen = std::move(whileOpen);
    midi_.duringSend = [this] { midi_.fireReport(MidiReportCode::kSendFailed, "Cannot send"); };
  };
  loadTable({first, event(1, EventType::ValueChange, 0x94, 1, 1)});
  boxDuringNextSend([&] { core_.table().assign({replacement}); });
  EXPECT_EQ(change(1, 50), (Messages{{0x93, 60, 100}, {0x83, 0, 0}}));
  EXPECT_EQ(answerer_.boxes, 1);
  EXPECT_EQ(change(1, 50), (Messages{{0xB5, 7, 8}}));

  loadTable({first});
  boxDuringNextSend([&] { core_.table().remove(0); });
  EXPECT_EQ(command(0), (Messages{{0x93, 60, 100}, {0x83, 0, 0}}));
  EXPECT_EQ(core_.eventTable().record(0), MidiEvent::blank());

  writeOneRecordFile();
  loadTable({first, event(1, EventType::ValueChange, 0x94, 1, 1)});
  core_.setShowLine(true);
  boxDuringNextSend([&] { core_.unload(); });
  EXPECT_EQ(change(1, 50), (Messages{{0x93, 60, 100}, {0x83, 0, 0}}))
      << "the next record's Show line step loaded the core again, and the event file with it";
  EXPECT_EQ(core_.eventTable().record(0).MIDIMessage, 150);
}

// A reload reads and checks the new file before it replaces anything: one that cannot be used
// keeps the table and the output; a good one replaces the table, and its count is of the
// events that can fire (not the blank entries a Count= beyond them makes).
TEST_F(PluginCoreTest, AReloadReplacesTheTableOnlyWithAFileThatCanBeUsed) {
  writeOneRecordFile();
  core_.ensureLoaded();
  midi_.clearLog();
  const std::string file = dir_.file("show.Notecast");
  std::int32_t events = -1;
  for (const std::string& bad : {std::string("\x01\x02 no sections"), std::string()}) {
    testing::writeBytes(file, bad);
    EXPECT_NE(core_.reloadEventFile(&events), "");
    EXPECT_EQ(core_.eventTable().record(0).MIDIMessage, 150) << "the running events stay";
  }
  std::filesystem::remove(file);
  EXPECT_EQ(core_.reloadEventFile(&events), "no event file " + file);
  EXPECT_TRUE(midi_.log().empty()) << "the output was not touched";

  testing::writeBytes(file,
                      "[General]\r\nCount=2\r\n[Entry_0]\r\nDMXChannel=3\r\nMIDIMessage=151\r\n"
                      "Typ=2\r\n[Entry_1]\r\nDMXChannel=4\r\nTyp=9\r\n");
  EXPECT_EQ(core_.reloadEventFile(&events), "");
  EXPECT_EQ(events, 1) << "type 9 and the blank third entry never fire";
  EXPECT_EQ(core_.eventTable().size(), 3);
  EXPECT_EQ(change(3, 8).size(), 1u);
}

// With release on, every note the output left sounding gets a note-off before the output
// closes or gives way to another, in channel and key order; a note already ended (a note-off,
// or a note-on at velocity 0) gets none. With release off nothing is added, and the notes of
// the output that went are forgotten.
TEST_F(PluginCoreTest, ReleaseEndsTheSoundingNotesBeforeTheOutputClosesOrChanges) {
  loadTable({event(1, EventType::ValueChange, 0x91, 61, 100),
             event(2, EventType::Data2FromValue, 0x90, 60),
             event(3, EventType::ValueChange, 0x81, 61, 0)});
  core_.chooseOutput(0);  // the virtual output
  change(1, 5);
  core_.closeDevice();
  EXPECT_EQ(core_.releaseNotes(), 0) << "release off: the closed output's notes are forgotten";

  core_.setNoteRelease(true);
  core_.chooseOutput(0);
  change(1, 5);
  change(2, 100);
  std::size_t before = midi_.sent().size();
  core_.chooseOutput(1);
  EXPECT_EQ(sentSince(before), (Messages{{0x80, 60, 0}, {0x81, 61, 0}}));
  change(1, 5);
  change(2, 100);
  change(2, 0);
  change(3, 5);
  core_.chooseOutput(1);
  EXPECT_EQ(core_.releaseNotes(), 0) << "both notes ended by themselves; picked again, kept";
  change(1, 5);
  before = midi_.sent().size();
  core_.closeDevice();
  EXPECT_EQ(sentSince(before), (Messages{{0x81, 61, 0}}));
  EXPECT_EQ(core_.notesReleased(), 3);
}

}  // namespace
}  // namespace notecast
