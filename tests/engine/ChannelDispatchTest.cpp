// The dispatch of a channel change over the event table, and the command path that sends one
// record at once, checked through a recording output: which rows are selected and which bytes
// go out, in order.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "abi/RuntimeError.h"
#include "engine/ChannelDispatch.h"
#include "engine/EventType.h"
#include "engine/MessageKind.h"
#include "tests/support/EventBuilder.h"

namespace notecast {
namespace {

using Log = std::vector<std::string>;

std::string message(std::int32_t status, std::int32_t data1, std::int32_t data2) {
  return std::to_string(status) + " " + std::to_string(data1) + " " + std::to_string(data2);
}
std::string noteOff(std::int32_t status) {
  return message(noteOffStatusFor(status), 0, 0);
}
std::string row(std::int32_t index) {
  return "row " + std::to_string(index);
}

std::string notSent(std::int32_t status, std::int32_t data1, std::int32_t data2) {
  return "not sent " + message(status, data1, data2);
}

// Records row selections and sent messages in one log; the nth send (counted from 1 over the
// output's life) can be made to fail. Like the MIDI output, it sends nothing for a status below
// 128 or for SysEx. `duringSend` runs inside the next send, as a nested event loop would.
class RecordingOutput final : public DispatchOutput {
 public:
  bool showLineTicked() override { return showLine; }
  void selectRow(std::int32_t index) override { log.push_back(row(index)); }
  bool send(std::int32_t status, std::int32_t data1, std::int32_t data2) override {
    if (++sends_ == failOnSend) throw RuntimeError(30002, "the MIDI system refused the message");
    if (auto during = std::exchange(duringSend, {})) during();
    const bool goesOut = status >= 0x80 && status != 0xF0 && status != 0xF7;
    log.push_back(goesOut ? message(status, data1, data2) : notSent(status, data1, data2));
    return goesOut;
  }

  bool showLine = false;
  int failOnSend = 0;  // 0: never
  std::function<void()> duringSend;
  Log log;

 private:
  int sends_ = 0;
};

using testing::event;

MidiEvent with(MidiEvent e, std::int32_t MidiEvent::*field, std::int32_t value) {
  e.*field = value;
  return e;
}

class ChannelDispatchTest : public ::testing::Test {
 protected:
  // The log of one channel change.
  Log change(std::int32_t channel, std::int32_t value) {
    out_.log.clear();
    dispatchChannelValue(table_, index_, channel, value, out_);
    return out_.log;
  }
  Log command(std::int32_t index) {
    out_.log.clear();
    sendRecordOnCommand(table_, index, out_);
    return out_.log;
  }

  EventTable table_;
  ChannelIndex index_;
  RecordingOutput out_;
};

TEST_F(ChannelDispatchTest, ThresholdsIncludeTheirValue) {
  table_.assign({event(1, EventType::AboveValue, 144, 60, 100, 100),
                 event(2, EventType::BelowValue, 145, 61, 90, 100)});
  EXPECT_EQ(change(1, 99), Log{});
  EXPECT_EQ(change(1, 100), Log{message(144, 60, 100)});
  EXPECT_EQ(change(1, 101), Log{message(144, 60, 100)});
  EXPECT_EQ(change(2, 101), Log{});
  EXPECT_EQ(change(2, 100), Log{message(145, 61, 90)});
  EXPECT_EQ(change(2, 99), Log{message(145, 61, 90)});
}

TEST_F(ChannelDispatchTest, ValueChangeSendsTheStoredMessageOnEveryValue) {
  table_.assign({event(3, EventType::ValueChange, 146, 62, 80)});
  for (std::int32_t value : {0, 255, 255, 17}) {
    EXPECT_EQ(change(3, value), Log{message(146, 62, 80)}) << "value " << value;
  }
}

TEST_F(ChannelDispatchTest, ValueTypesReplaceTheirByteWithHalfTheChannelValue) {
  table_.assign({event(4, EventType::Data1FromValue, 176, 7, 64),
                 event(5, EventType::Data2FromValue, 177, 7, 64)});
  EXPECT_EQ(change(4, 255), Log{message(176, 127, 64)});
  EXPECT_EQ(change(4, 101), Log{message(176, 50, 64)}) << "odd values truncate";
  EXPECT_EQ(change(4, 1), Log{message(176, 0, 64)});
  EXPECT_EQ(change(5, 255), Log{message(177, 7, 127)});
  EXPECT_EQ(change(5, 0), Log{message(177, 7, 0)});
  EXPECT_EQ(change(5, 300), Log{message(177, 7, 150)}) << "never clamped";
  EXPECT_EQ(change(5, -3), Log{message(177, 7, -1)}) << "truncated toward zero";
}

TEST_F(ChannelDispatchTest, SendOnlyOnceHoldsAThresholdRecordUntilTheOtherSideReArmsIt) {
  const MidiEvent above = event(1, EventType::AboveValue, 144, 60, 100, 100);
  const MidiEvent below = event(2, EventType::BelowValue, 145, 61, 90, 100);
  table_.assign({with(above, &MidiEvent::SendOnlyOnce, 1), with(below, &MidiEvent::SendOnlyOnce, 1),
                 with(above, &MidiEvent::DMXChannel, 3)});
  std::vector<std::size_t> onceAbove, onceBelow, every;
  for (std::int32_t value : {99, 100, 150, 100, 99, 100}) {
    onceAbove.push_back(change(1, value).size());
    every.push_back(change(3, value).size());
  }
  for (std::int32_t value : {101, 100, 50, 100, 101, 0})
    onceBelow.push_back(change(2, value).size());
  EXPECT_EQ(onceAbove, (std::vector<std::size_t>{0, 1, 0, 0, 0, 1}));
  EXPECT_EQ(onceBelow, (std::vector<std::size_t>{0, 1, 0, 0, 0, 1}));
  EXPECT_EQ(every, (std::vector<std::size_t>{0, 1, 1, 1, 0, 1})) << "no SendOnlyOnce";
  EXPECT_TRUE(table_.onceAbove(0));
  EXPECT_TRUE(table_.onceBelow(1));
}

TEST_F(ChannelDispatchTest, SendOnlyOnceDoesNotHoldANonThresholdRecord) {
  table_.assign({with(event(1, EventType::ValueChange, 144), &MidiEvent::SendOnlyOnce, 1),
                 with(event(1, EventType::Data2FromValue, 176), &MidiEvent::SendOnlyOnce, 1)});
  const Log both{message(144, 1, 2), message(176, 1, 5)};
  EXPECT_EQ(change(1, 10), both);
  EXPECT_EQ(change(1, 10), both);
}

TEST_F(ChannelDispatchTest, RecordsOfTheChannelFireInTableOrderEachFollowedByItsOwnNoteOff) {
  const MidiEvent threshold = event(7, EventType::AboveValue, 0x94, 62, 90, 200);
  table_.assign({with(event(7, EventType::ValueChange, 0x93, 60, 100), &MidiEvent::SendNoteOff, 1),
                 event(8, EventType::ValueChange, 0x95),
                 with(with(threshold, &MidiEvent::SendNoteOff, 1), &MidiEvent::SendOnlyOnce, 1),
                 event(7, EventType::ValueChange, 0xB0)});
  EXPECT_EQ(change(7, 100), (Log{message(0x93, 60, 100), noteOff(0x93), message(0xB0, 1, 2)}))
      << "the threshold record does not fire, so no note-off of its own";
  EXPECT_EQ(change(7, 200), (Log{message(0x93, 60, 100), noteOff(0x93), message(0x94, 62, 90),
                                 noteOff(0x94), message(0xB0, 1, 2)}));
  EXPECT_EQ(change(7, 200), (Log{message(0x93, 60, 100), noteOff(0x93), message(0xB0, 1, 2)}))
      << "a held record sends no note-off either";
  EXPECT_EQ(noteOff(0x93), message(0x83, 0, 0));
  EXPECT_EQ(change(9, 100), Log{}) << "no record watches channel 9";
}

TEST_F(ChannelDispatchTest, OnlySendNoteOffOfExactlyOneGivesANoteOff) {
  const MidiEvent e = event(1, EventType::ValueChange, 0x91);
  table_.assign({with(e, &MidiEvent::SendNoteOff, 2), with(e, &MidiEvent::SendNoteOff, -1),
                 with(e, &MidiEvent::SendNoteOff, 0)});
  EXPECT_EQ(change(1, 5), Log(3, message(0x91, 1, 2)));
}

TEST_F(ChannelDispatchTest, UnknownTypesSendNothingButStillHaveTheirRowShown) {
  const MidiEvent e = event(3, EventType::ValueChange, 144);
  table_.assign({with(e, &MidiEvent::Typ, 7), with(e, &MidiEvent::Typ, -1),
                 with(e, &MidiEvent::SendNoteOff, 1)});
  EXPECT_EQ(change(3, 9), (Log{message(144, 1, 2), noteOff(144)}));
  out_.showLine = true;
  EXPECT_EQ(change(3, 9), (Log{row(0), row(1), row(2), message(144, 1, 2), noteOff(144)}));
}

TEST_F(ChannelDispatchTest, ShowLineSelectsEachWatchedRowBeforeItsMessage) {
  table_.assign({with(event(1, EventType::ValueChange, 144), &MidiEvent::SendNoteOff, 1),
                 event(2, EventType::ValueChange, 145),
                 event(1, EventType::AboveValue, 146, 1, 2, 200),
                 event(1, EventType::ValueChange, 147)});
  out_.showLine = true;
  EXPECT_EQ(change(1, 50),
            (Log{row(0), message(144, 1, 2), noteOff(144), row(2), row(3), message(147, 1, 2)}));
  out_.showLine = false;
  EXPECT_EQ(change(1, 50), (Log{message(144, 1, 2), noteOff(144), message(147, 1, 2)}));
}

TEST_F(ChannelDispatchTest, ASendFailureEndsTheDispatchAtThatRecord) {
  const MidiEvent once =
      with(event(1, EventType::AboveValue, 146, 1, 2, 0), &MidiEvent::SendOnlyOnce, 1);
  table_.assign(
      {event(1, EventType::ValueChange, 144), event(1, EventType::ValueChange, 145), once});
  out_.showLine = true;
  out_.failOnSend = 2;
  try {
    change(1, 77);
    ADD_FAILURE() << "the failure was swallowed";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 30002);
  }
  EXPECT_EQ(out_.log, (Log{row(0), message(144, 1, 2), row(1)}));
  EXPECT_FALSE(table_.onceAbove(2)) << "the third record was not evaluated";
}

TEST_F(ChannelDispatchTest, AFailingNoteOffEndsTheDispatchToo) {
  table_.assign({with(event(1, EventType::ValueChange, 144), &MidiEvent::SendNoteOff, 1),
                 event(1, EventType::ValueChange, 145)});
  out_.failOnSend = 2;
  EXPECT_THROW(change(1, 77), RuntimeError);
  EXPECT_EQ(out_.log, Log{message(144, 1, 2)});
}

TEST_F(ChannelDispatchTest, TheIndexFollowsChangesOfTheTable) {
  table_.assign({event(1, EventType::ValueChange, 144), event(2, EventType::ValueChange, 145)});
  EXPECT_EQ(change(1, 5), Log{message(144, 1, 2)});
  table_.append(event(1, EventType::ValueChange, 146));
  EXPECT_EQ(change(1, 5), (Log{message(144, 1, 2), message(146, 1, 2)}));
  table_.setField(1, MidiEventField::DMXChannel, 1);
  EXPECT_EQ(change(1, 5), (Log{message(144, 1, 2), message(145, 1, 2), message(146, 1, 2)}));
}

TEST_F(ChannelDispatchTest, ACommandSendsTheStoredRecordWhateverItsChannelTypeAndFlags) {
  const MidiEvent held =
      with(event(9, EventType::AboveValue, 144, 60, 100, 50), &MidiEvent::SendOnlyOnce, 1);
  const MidiEvent unknown = with(event(9, EventType::ValueChange, 150, 3, 4), &MidiEvent::Typ, 7);
  table_.assign({event(9, EventType::Data1FromValue, 176, 7, 64), held, unknown});
  table_.setOnceAbove(1, true);
  EXPECT_EQ(command(0), Log{message(176, 7, 64)}) << "Data1 as stored";
  EXPECT_EQ(command(1), Log{message(144, 60, 100)});
  EXPECT_EQ(command(1), Log{message(144, 60, 100)});
  EXPECT_TRUE(table_.onceAbove(1)) << "the command path leaves the flags alone";
  EXPECT_EQ(command(2), Log{message(150, 3, 4)});
}

TEST_F(ChannelDispatchTest, ACommandSendsANoteOffForAnyNonZeroSendNoteOff) {
  const MidiEvent e = event(1, EventType::ValueChange, 0x92);
  table_.assign({with(e, &MidiEvent::SendNoteOff, 1), with(e, &MidiEvent::SendNoteOff, 2),
                 with(e, &MidiEvent::SendNoteOff, -1), e});
  for (std::int32_t i : {0, 1, 2}) {
    EXPECT_EQ(command(i), (Log{message(0x92, 1, 2), noteOff(0x92)})) << "row " << i;
  }
  EXPECT_EQ(command(3), Log{message(0x92, 1, 2)});
  out_.showLine = true;
  EXPECT_EQ(command(0), (Log{row(0), message(0x92, 1, 2), noteOff(0x92)}));
}

TEST_F(ChannelDispatchTest, ACommandForARowOutsideTheTableFailsAfterTheSelectionBeforeSending) {
  table_.assign({event(1, EventType::ValueChange, 144)});
  out_.showLine = true;
  for (std::int32_t bad : {1, -1}) {
    out_.log.clear();
    try {
      sendRecordOnCommand(table_, bad, out_);
      ADD_FAILURE() << "row " << bad << " was accepted";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), 9);
    }
    EXPECT_EQ(out_.log, Log{row(bad)});
  }
}

TEST_F(ChannelDispatchTest, AMessageThatDoesNotGoOutHasNoNoteOffAndSetsNoOnceFlag) {
  const MidiEvent custom = with(event(1, EventType::ValueChange, 4), &MidiEvent::SendNoteOff, 1);
  const MidiEvent sysEx =
      with(with(event(1, EventType::AboveValue, 0xF0, 1, 2, 10), &MidiEvent::SendNoteOff, 1),
           &MidiEvent::SendOnlyOnce, 1);
  table_.assign(
      {custom, sysEx, with(event(1, EventType::ValueChange, 0x91), &MidiEvent::SendNoteOff, 1)});
  const Log once{notSent(4, 1, 2), notSent(0xF0, 1, 2), message(0x91, 1, 2), noteOff(0x91)};
  EXPECT_EQ(change(1, 50), once);
  EXPECT_FALSE(table_.onceAbove(1)) << "a message that did not go out does not hold its record";
  EXPECT_EQ(change(1, 50), once);
  EXPECT_EQ(command(0), Log{notSent(4, 1, 2)});
  EXPECT_EQ(command(1), Log{notSent(0xF0, 1, 2)});
}

// The output runs `change` inside the nth send of the next dispatch or command.
class ChannelDispatchTableChangeTest : public ChannelDispatchTest {
 protected:
  void changeTableDuringSend(int n, std::function<void(EventTable&)> change) {
    out_.duringSend = [this, n, change = std::move(change)]() mutable {
      if (n == 1) return change(table_);
      out_.duringSend = [this, change = std::move(change)] { change(table_); };
    };
  }
};

TEST_F(ChannelDispatchTableChangeTest, TheNoteOffIsTheSendingRecordsAndTheWalkEndsThere) {
  const MidiEvent first =
      with(event(1, EventType::ValueChange, 0x93, 60, 100), &MidiEvent::SendNoteOff, 1);
  const MidiEvent replacement = event(1, EventType::ValueChange, 0xB5, 7, 8);
  const std::vector<std::pair<const char*, std::function<void(EventTable&)>>> changes = {
      {"load",
       [&](EventTable& t) {
         t.assign({replacement, replacement});
       }},
      {"delete", [](EventTable& t) { t.remove(0); }},
      {"clear", [](EventTable& t) { t.reset(); }},
      {"edit", [](EventTable& t) { t.setField(0, MidiEventField::MIDIMessage, 0xB5); }},
  };
  for (const auto& [name, tableChange] : changes) {
    for (const int n : {1, 2}) {
      SCOPED_TRACE(std::string(name) + " in send " + std::to_string(n));
      table_.assign({first, event(1, EventType::ValueChange, 0x94)});
      changeTableDuringSend(n, tableChange);
      EXPECT_EQ(change(1, 50), (Log{message(0x93, 60, 100), noteOff(0x93)}))
          << "the note-off of the record as it was; the next record belongs to the old table";
    }
  }
}

TEST_F(ChannelDispatchTableChangeTest, ARecordThatMovedUpDuringTheSendIsNotHeldInItsPlace) {
  const MidiEvent once =
      with(event(1, EventType::AboveValue, 0x90, 1, 2, 10), &MidiEvent::SendOnlyOnce, 1);
  table_.assign({once, with(with(once, &MidiEvent::DMXChannel, 2), &MidiEvent::MIDIMessage, 0x91)});
  changeTableDuringSend(1, [](EventTable& t) { t.remove(0); });
  EXPECT_EQ(change(1, 50), Log{message(0x90, 1, 2)});
  EXPECT_EQ(change(2, 50), Log{message(0x91, 1, 2)});
  EXPECT_EQ(change(2, 50), Log{}) << "held by its own send";
}

TEST_F(ChannelDispatchTableChangeTest, AMessageNotSentEndsTheWalkAfterATableChangeToo) {
  table_.assign({event(1, EventType::ValueChange, 4), event(1, EventType::ValueChange, 0x94)});
  changeTableDuringSend(1, [](EventTable& t) { t.remove(1); });
  EXPECT_EQ(change(1, 50), Log{notSent(4, 1, 2)});
}

TEST_F(ChannelDispatchTableChangeTest, ACommandSendsTheNoteOffOfTheRecordAsItWas) {
  const MidiEvent shared =
      with(event(9, EventType::ValueChange, 0x92, 60, 100), &MidiEvent::SendNoteOff, 2);
  table_.assign({shared});
  changeTableDuringSend(1,
                        [](EventTable& t) { t.assign({event(9, EventType::ValueChange, 0xC3)}); });
  EXPECT_EQ(command(0), (Log{message(0x92, 60, 100), noteOff(0x92)}));
  table_.assign({shared});
  changeTableDuringSend(1, [](EventTable& t) { t.reset(); });
  EXPECT_EQ(command(0), (Log{message(0x92, 60, 100), noteOff(0x92)}));
}

}  // namespace
}  // namespace notecast
