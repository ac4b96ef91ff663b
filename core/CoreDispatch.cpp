// The core's part in the dispatch of a channel change and in the command path: the table, the
// "Show line" option, the highlighted entry and the MIDI output.

#include "core/PluginCore.h"

namespace notecast {

class PluginCore::DispatchToCore final : public DispatchOutput {
 public:
  explicit DispatchToCore(PluginCore& core) : core_(core) {}

  bool showLineTicked() override { return core_.showLine_; }
  // A box during the previous send may have let the core unload: the step loads it again,
  // whose new table ends the walk.
  void selectRow(std::int32_t row) override {
    core_.ensureLoaded();
    core_.highlight(row);
  }
  bool send(std::int32_t status, std::int32_t data1, std::int32_t data2) override {
    return core_.sendStep(status, data1, data2);
  }

 private:
  PluginCore& core_;
};

// Loaded before the first record is looked at: loading re-reads the event file into the table,
// which must not happen in the middle of the walk over it.
void PluginCore::ExecuteMidiEvent(std::int32_t channel, std::int32_t value) {
  (void)table_.GetEventCount();  // a table never dimensioned: error 9 before anything loads
  ensureLoaded();
  DispatchToCore output(*this);
  dispatchChannelValue(table_, channelIndex_, channel, value, output);
}

void PluginCore::ExecuteMidiEventFromCommand(std::int32_t index) {
  ensureLoaded();
  DispatchToCore output(*this);
  sendRecordOnCommand(table_, index, output);
}

void PluginCore::showLastChannel(std::int32_t channel) {
  lastChange_.channel = channel;
  if (view_) view_->showLastChange();
}

void PluginCore::showLastValue(std::int32_t value, std::int16_t midiValue) {
  lastChange_.value = {value, midiValue};
  if (view_) view_->showLastChange();
}

}  // namespace notecast
