// The plug-in object's output details and failure descriptions as a host reads them
// (abi/IOutputDetails.h, abi/IFailureDescription.h); the kept connections' states on a real
// JACK server are in OutputDetailsJackTest.cpp.

#include <gtest/gtest.h>

#include <QComboBox>
#include <cstdlib>
#include <thread>

#include "abi/IFailureDescription.h"
#include "abi/IOutputDetails.h"
#include "midi/MidiApiChoice.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"
#include "tests/plugin/FakeHelper.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/EventBuilder.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "window/ConfigfrmForm.h"

namespace notecast {
namespace {

struct SinkLog final : IMessageSink {
  void MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept override {
    messages.emplace_back(bytes, bytes + length);
  }
  std::vector<std::vector<std::uint8_t>> messages;
};

class OutputDetailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    object_ = makeComObject<clsLumoPlugIn>();
    plugin_ = object_.query<lumo::ILumoPlugin>();
    VARIANT_BOOL ignored = 0;
    plugin_->Init("host", "Notecast.so", testing::FakeHelper::withProject(dir_.file("show")).get(),
                  &ignored);
  }
  void TearDown() override {
    plugin_.reset();
    object_.reset();
    setMidiOutputFactory({});
  }
  // A DMX change of channel 1 for a table of `events`, with the window loaded.
  HRESULT dmx(std::vector<MidiEvent> events, std::int32_t value = 200) {
    PluginGlobals::window().form();
    PluginGlobals::window().table().assign(std::move(events));
    std::int32_t message = 15, channel = 1, answer = 0;
    return plugin_->MessageHandle(&message, &channel, &value, &answer);
  }

  testing::TempDir dir_;
  ComPtr<clsLumoPlugIn> object_;
  ComPtr<lumo::ILumoPlugin> plugin_;
};

TEST_F(OutputDetailsTest, OutputListIsTheWindowsListAndTheSinkGetsTheWireBytes) {
  RecordingMidiOutput midi({"synth:in", "other:in"});
  setMidiOutputFactory([&] { return std::make_unique<RecordingMidiOutput::Handle>(midi); });
  auto details = object_.query<IOutputDetails>();
  ASSERT_TRUE(details);
  std::string lines;
  ASSERT_EQ(details->get_OutputList(&lines), S_OK);
  EXPECT_EQ(lines, "Notecast virtual output\nsynth:in\nother:in\n");
  EXPECT_EQ(PluginGlobals::window().form().cboMidiOutput->itemText(2), "other:in");

  SinkLog sink;
  ASSERT_EQ(details->put_MessageSink(&sink), S_OK);
  using testing::event;
  ASSERT_EQ(dmx({event(1, EventType::ValueChange, 0xC3, 5),
                 event(1, EventType::Data2FromValue, 0x90, 300)}),
            S_OK);
  EXPECT_EQ(sink.messages, (std::vector<std::vector<std::uint8_t>>{{0xC3, 5}, {0x90, 127, 100}}))
      << "two bytes for a program change, data bytes as clamped";
  ASSERT_EQ(details->put_MessageSink(nullptr), S_OK);
  ASSERT_EQ(dmx({event(1, EventType::ValueChange, 0xC3, 5)}), S_OK);
  EXPECT_EQ(sink.messages.size(), 2u);
}

TEST_F(OutputDetailsTest, FailedMessageWithNoOutputOpenIsDescribedOnItsThreadOnly) {
  ::setenv(MidiApiChoice::kVariable, "jack", 1);
  ::setenv("JACK_DEFAULT_SERVER", "notecast-no-such-server", 1);
  setMidiOutputFactory({});  // the plug-in's own control
  testing::BoxAnswerer boxes;
  std::string lines;
  ASSERT_EQ(object_->get_OutputList(&lines), S_OK);
  EXPECT_EQ(lines, "Notecast virtual output\n");
  EXPECT_TRUE(boxes.shown().empty()) << "the list shows no box, though it found no MIDI system";
  const HRESULT failed = dmx({testing::event(1, EventType::ValueChange, 0x90, 60, 100)});
  EXPECT_EQ(failed, resultFromErrorNumber(static_cast<std::int32_t>(MidiError::kNotOpen)));
  ASSERT_EQ(boxes.shown().size(), 1u) << "told at the next operation";
  EXPECT_EQ(boxes.shown()[0].text, "No MIDI output is possible: no JACK server is running.");

  auto failures = object_.query<IFailureDescription>();
  ASSERT_TRUE(failures);
  std::string text;
  EXPECT_EQ(failures->get_FailureDescription(failed, &text), S_OK);
  EXPECT_EQ(text, "no MIDI output device is open");
  EXPECT_EQ(failures->get_FailureDescription(E_FAIL, &text), S_FALSE);
  EXPECT_EQ(text, "");
  std::thread([&] {
    EXPECT_EQ(failures->get_FailureDescription(failed, &text), S_FALSE) << "another thread's";
  }).join();
  EXPECT_EQ(failures->get_FailureDescription(failed, nullptr), E_POINTER);
  ::unsetenv("JACK_DEFAULT_SERVER");
  ::unsetenv(MidiApiChoice::kVariable);
}

}  // namespace
}  // namespace notecast
