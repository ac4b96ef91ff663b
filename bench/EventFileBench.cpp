// The event file's three operations on a whole table: load, save, and the comparison the host's
// ask-to-save runs, each as the window calls it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "persistence/EventFile.h"

namespace notecast {
namespace {

std::string benchFile() {
  return (std::filesystem::temp_directory_path() /
          ("notecast-bench-" + std::to_string(::getpid()) + ".Notecast"))
      .string();
}

EventTable tableOf(std::int64_t entries) {
  std::vector<MidiEvent> records(static_cast<std::size_t>(entries), MidiEvent::added());
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].DMXChannel = static_cast<std::int32_t>(1 + i % 512);
    records[i].ShareName = i % 3 == 0 ? "Cue " + std::to_string(i) : "";
  }
  EventTable table;
  table.assign(std::move(records));
  return table;
}

void BM_EventFileSave(benchmark::State& state) {
  const EventTable table = tableOf(state.range(0));
  const EventFile file(benchFile());
  for (auto _ : state) file.save("Synth A", table);
  std::filesystem::remove(benchFile());
}

void BM_EventFileLoad(benchmark::State& state) {
  const EventFile file(benchFile());
  file.save("Synth A", tableOf(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(file.load());
  std::filesystem::remove(benchFile());
}

void BM_EventFileCompare(benchmark::State& state) {
  const EventTable table = tableOf(state.range(0));
  const EventFile file(benchFile());
  file.save("Synth A", table);
  for (auto _ : state) benchmark::DoNotOptimize(file.isModified("Synth A", table));
  std::filesystem::remove(benchFile());
}

BENCHMARK(BM_EventFileSave)
    ->ArgName("entries")
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventFileLoad)
    ->ArgName("entries")
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventFileCompare)
    ->ArgName("entries")
    ->Arg(1000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace notecast
