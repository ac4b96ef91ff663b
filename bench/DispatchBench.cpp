// Cost of one DMX channel change through the dispatch, by table size and by the number of
// records that watch the changed channel. The output is a counter, so the figures are the
// dispatch's own cost, without the MIDI system.

#include <benchmark/benchmark.h>

#include "engine/ChannelDispatch.h"

namespace notecast {
namespace {

class CountingOutput final : public DispatchOutput {
 public:
  bool showLineTicked() override { return false; }
  void selectRow(std::int32_t) override {}
  bool send(std::int32_t status, std::int32_t data1, std::int32_t data2) override {
    benchmark::DoNotOptimize(status + data1 + data2);
    ++sends;
    return true;
  }
  std::int64_t sends = 0;
};

constexpr std::int32_t kWatchedChannel = 1;

// `records` events on channels 2.., of which `matching` (spread over the table) watch channel 1.
EventTable makeTable(std::int32_t records, std::int32_t matching) {
  std::vector<MidiEvent> events(static_cast<std::size_t>(records), MidiEvent::added());
  for (std::int32_t i = 0; i < records; ++i) events[i].DMXChannel = 2 + i % 511;
  for (std::int32_t k = 0; k < matching; ++k) {
    MidiEvent& event = events[static_cast<std::size_t>(k * (records / matching))];
    event.DMXChannel = kWatchedChannel;
    event.Typ = 2;  // fires on every change
  }
  EventTable table;
  table.assign(std::move(events));
  return table;
}

void BM_DispatchOneChange(benchmark::State& state) {
  EventTable table = makeTable(static_cast<std::int32_t>(state.range(0)),
                               static_cast<std::int32_t>(state.range(1)));
  ChannelIndex index;
  CountingOutput output;
  std::int32_t value = 0;
  for (auto _ : state) {
    dispatchChannelValue(table, index, kWatchedChannel, value, output);
    value = (value + 1) & 0xFF;
  }
  state.counters["sends/change"] =
      benchmark::Counter(static_cast<double>(output.sends) / state.iterations());
}

BENCHMARK(BM_DispatchOneChange)
    ->ArgNames({"records", "matching"})
    ->Args({10, 1})
    ->Args({1000, 1})
    ->Args({32767, 1})
    ->Args({10, 10})
    ->Args({1000, 16})
    ->Args({32767, 16});

}  // namespace
}  // namespace notecast

BENCHMARK_MAIN();
