// Several bridges on one machine from one OLA daemon: four headless notecast-host processes,
// host u taking universe u (--dmx ola:u) with an event file of its own and a MIDI destination of
// its own (--midi-out to a JACK client of this program), while all 512 channels of the four
// universes change in every frame at 44 frames a second. Not a test: it prints what each host
// counted against what was sent (bench/README.md) and exits 1 when a change was lost.
//
// Everything runs privately: one JACK server of its own (dummy driver, 48 kHz, period 256) and
// one OLA daemon that cannot reach any network (tests/support/SafeOlad.h: Dummy plugin only, RPC
// on loopback, as nobody; so this program must run as root). The streaming clients never start
// a daemon themselves (auto_start off).
//
// Frame k sets every channel of every universe to 2 * (k % 127), so every frame changes all 512
// channels of each universe; event j of a host sends control change j % 128 on MIDI channel
// j / 128 + 1 with the value / 2, so each message names its frame and its latency is known. The
// hosts' counts are read from their status lines (one a second on standard output, one at the
// end) before and after the measured frames: each host must count every frame and 512 changes a
// frame, fold no frame, fail no change, and its MIDI destination receive one message per event
// and frame.
//
// Run: sudo build/bin/notecast-bridges-bench [seconds per run, default 30] [events per host, one
// run each, default 8 and 512]

#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/bridges/BridgeHost.h"
#include "bench/latency/BenchSetUp.h"
#include "bench/latency/FrameMatch.h"
#include "bench/latency/ProcessLoad.h"
#include "bench/latency/TimingReader.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/SafeOlad.h"

namespace notecast::bench {
namespace {

using namespace std::chrono_literals;
using notecast::PrivateJackServer;
using testing::SafeOlad;

constexpr int kBridges = 4;
constexpr int kSlots = 512;
constexpr int kFramesPerSecond = 44;
constexpr int kCodes = 127;        // frame k's channels are at 2 * (k % kCodes)
constexpr int kWarmUpValue = 254;  // code 127, never a measured frame's
// Longer than the hosts' status line interval (1 s): the newest line holds every frame before.
constexpr auto kSettle = 1600ms;

std::string loadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  if (!file.open(QIODevice::ReadOnly)) return "?";
  return file.readAll().split(' ').mid(0, 3).join(' ').toStdString();
}

struct BridgeFigures {
  HostCounts counted;  // during the measured frames
  qint64 received = 0, wrongLastValues = 0;
  double medianMs = 0, p99Ms = 0, maxMs = 0;
  CpuTimes cpuPercent;  // of one core: the whole host, its main thread, its JACK thread
  bool stoppedCleanly = false;
};

struct RunFigures {
  int events = 0, frames = 0;
  qint64 sendFailures = 0;
  double oladCpuPercent = 0;
  std::string loadBefore, loadAfter;
  std::vector<BridgeFigures> bridges;
};

// The messages one destination received, against the frames sent to its universe.
void readArrivals(const std::vector<Arrival>& arrivals, const std::vector<jack_time_t>& sent,
                  int events, BridgeFigures& figures) {
  std::vector<double> latencies;
  std::vector<int> lastCode(static_cast<std::size_t>(events), -1);
  for (const Arrival& arrival : arrivals) {
    const int event = (arrival.status - 0xB0) * 128 + arrival.data1;
    if (arrival.status < 0xB0 || arrival.status > 0xBF || event >= events ||
        arrival.data2 >= kCodes)
      continue;
    const auto k = frameOf(sent, arrival.usecs, arrival.data2, kCodes);
    if (!k) continue;
    ++figures.received;
    lastCode[static_cast<std::size_t>(event)] = arrival.data2;
    latencies.push_back(static_cast<double>(arrival.usecs - sent[static_cast<std::size_t>(*k)]) /
                        1000.0);
  }
  const int finalCode = static_cast<int>(sent.size() - 1) % kCodes;
  for (const int code : lastCode) figures.wrongLastValues += code != finalCode;
  figures.medianMs = quantile(latencies, 0.5);
  figures.p99Ms = quantile(latencies, 0.99);
  figures.maxMs = quantile(latencies, 1.0);
}

HostCounts difference(const HostCounts& after, const HostCounts& before) {
  HostCounts counts;
  counts.valid = after.valid && before.valid;
  counts.frames = after.frames - before.frames;
  counts.changes = after.changes - before.changes;
  counts.folded = after.folded;  // over the whole run: none may fold at all
  counts.failed = after.failed;
  counts.sent = after.sent - before.sent;
  counts.notSent = after.notSent;
  return counts;
}

// One run: the four hosts with `events` events each, frames for `seconds`.
RunFigures measure(const SafeOlad& olad, int events, int seconds, std::string* error) {
  RunFigures figures;
  figures.events = events;
  figures.frames = seconds * kFramesPerSecond;
  const auto messages = static_cast<std::size_t>(figures.frames) * events + 1024;
  const auto cycles = static_cast<std::size_t>(seconds + 10) * PrivateJackServer::kSampleRate /
                      PrivateJackServer::kDefaultPeriodFrames;
  std::vector<std::unique_ptr<TimingReader>> readers;
  std::vector<std::unique_ptr<BridgeHost>> hosts;
  for (int u = 1; u <= kBridges; ++u) {
    readers.push_back(std::make_unique<TimingReader>(messages, cycles));
    if (!readers.back()->open(error, "bridge-" + std::to_string(u))) return figures;
    hosts.push_back(std::make_unique<BridgeHost>(static_cast<unsigned>(u), events));
    if (!hosts.back()->start(QString::fromStdString(readers.back()->portName()), error))
      return figures;
  }
  auto hostErrors = [&] {
    std::string text;
    for (int u = 0; u < kBridges; ++u)
      text += "\nhost " + std::to_string(u + 1) + ": " + hosts[u]->errors();
    return text;
  };

  const auto senders = openSenders(kBridges);
  if (senders.empty()) return *error = "the OLA client cannot connect", figures;
  ola::DmxBuffer frame;
  auto send = [&](int u, int value) {
    frame.SetRangeToValue(0, static_cast<std::uint8_t>(value), kSlots);
    if (!senders[static_cast<std::size_t>(u)]->SendDmx(static_cast<unsigned>(u + 1), frame))
      ++figures.sendFailures;
  };

  // Each host registers its universe and opens its destination once started: send until every
  // destination has MIDI, alternating values of the warm-up code so every frame is a change.
  int warmUp = 0;
  if (!waitFor(
          [&] {
            for (int u = 0; u < kBridges; ++u) send(u, kWarmUpValue + warmUp % 2);
            ++warmUp;
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 / kFramesPerSecond));
            for (const auto& reader : readers)
              if (reader->seen() == 0) return false;
            return true;
          },
          30s))
    return *error = "not every host's MIDI came back" + hostErrors(), figures;
  std::this_thread::sleep_for(kSettle);
  std::vector<HostCounts> before;
  for (const auto& host : hosts) before.push_back(host->lastCounts());
  figures.sendFailures = 0;  // a refused warm-up frame is no loss
  for (const auto& reader : readers) reader->startRecording();

  figures.loadBefore = loadAverage();
  std::vector<CpuTimes> cpuBefore;
  for (const auto& host : hosts) cpuBefore.push_back(cpuTimesOf(host->pid()));
  const double oladBefore = cpuTimesOf(olad.pid()).total;
  std::vector<std::vector<jack_time_t>> sent(kBridges, std::vector<jack_time_t>(figures.frames));
  const auto start = std::chrono::steady_clock::now();
  const auto interval = std::chrono::nanoseconds(1'000'000'000 / kFramesPerSecond);
  for (int k = 0; k < figures.frames; ++k) {
    std::this_thread::sleep_until(start + k * interval);
    for (int u = 0; u < kBridges; ++u) {
      sent[static_cast<std::size_t>(u)][static_cast<std::size_t>(k)] = jack_get_time();
      send(u, 2 * (k % kCodes));
    }
  }
  // The last frame's work, then the CPU over the frames.
  std::this_thread::sleep_until(start + figures.frames * interval);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.oladCpuPercent = 100.0 * (cpuTimesOf(olad.pid()).total - oladBefore) / wall;
  figures.bridges.resize(kBridges);
  for (int u = 0; u < kBridges; ++u)
    figures.bridges[u].cpuPercent = percentOf(cpuBefore[u], cpuTimesOf(hosts[u]->pid()), wall);
  figures.loadAfter = loadAverage();

  std::this_thread::sleep_for(kSettle);
  for (const auto& reader : readers) reader->stopRecording();
  for (auto& sender : senders) sender->Stop();
  for (int u = 0; u < kBridges; ++u) {
    BridgeFigures& bridge = figures.bridges[u];
    bridge.stoppedCleanly = hosts[u]->stop();  // its last status line comes as it ends
    bridge.counted = difference(hosts[u]->lastCounts(), before[u]);
    if (readers[u]->overflow() > 0) *error = "recording overflow";
    readArrivals(readers[u]->arrivals(), sent[u], events, bridge);
  }
  if (!error->empty()) *error += hostErrors();
  return figures;
}

bool everyChangeDelivered(const RunFigures& run, const BridgeFigures& b) {
  const qint64 frames = run.frames;
  return b.counted.valid && b.stoppedCleanly && b.counted.frames == frames &&
         b.counted.changes == frames * kSlots && b.counted.folded == 0 && b.counted.failed == 0 &&
         b.counted.sent == frames * run.events && b.counted.notSent == 0 &&
         b.received == frames * run.events && b.wrongLastValues == 0;
}

bool printRun(const RunFigures& run) {
  bool delivered = run.sendFailures == 0;
  const qint64 frames = run.frames;
  for (int u = 0; u < kBridges; ++u) {
    const BridgeFigures& b = run.bridges[static_cast<std::size_t>(u)];
    const bool all = everyChangeDelivered(run, b);
    delivered = delivered && all;
    std::printf(
        "| %d | ola:%d | %lld / %lld | %lld / %lld | %lld | %lld | %lld / %lld / %lld (%lld not "
        "sent, %lld last values wrong) | %.2f / %.2f / %.2f | %.1f (%.1f + %.1f) |%s\n",
        run.events, u + 1, b.counted.frames, frames, b.counted.changes, frames * kSlots,
        b.counted.folded, b.counted.failed, b.received, b.counted.sent, frames * run.events,
        b.counted.notSent, b.wrongLastValues, b.medianMs, b.p99Ms, b.maxMs, b.cpuPercent.total,
        b.cpuPercent.main, b.cpuPercent.realTime,
        all ? "" : (b.stoppedCleanly ? " LOST" : " LOST (the host did not end cleanly)"));
  }
  std::printf("olad CPU %.1f %%, load average %s before, %s after%s\n\n", run.oladCpuPercent,
              run.loadBefore.c_str(), run.loadAfter.c_str(),
              run.sendFailures > 0
                  ? (", " + std::to_string(run.sendFailures) + " universe frames not sent").c_str()
                  : "");
  std::fflush(stdout);
  return delivered;
}

}  // namespace
}  // namespace notecast::bench

int main(int argc, char** argv) {
  using namespace notecast::bench;
  using notecast::PrivateJackServer;
  QCoreApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  std::vector<int> eventCounts;
  for (int i = 2; i < argc; ++i) eventCounts.push_back(std::clamp(std::atoi(argv[i]), 1, kSlots));
  if (eventCounts.empty()) eventCounts = {8, kSlots};
  const std::string unavailable = SafeOlad::unavailableReason();
  if (!unavailable.empty()) {
    std::fprintf(stderr, "no safe olad: %s\n", unavailable.c_str());
    return 2;
  }
  std::string error;
  auto jack = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-bridges"), &error);
  if (!jack) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  auto olad = SafeOlad::start(&error);
  if (!olad) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  std::printf(
      "%d hosts, host u on universe u, %d channels each changing in every frame, %d frames/s, "
      "%d s per run, JACK period %d at %d Hz; latency = arrival in the destination's process "
      "callback minus the frame's send time; CPU in %% of one core: whole host (main thread + MIDI "
      "process thread)\n\n",
      kBridges, kSlots, kFramesPerSecond, seconds, PrivateJackServer::kDefaultPeriodFrames,
      PrivateJackServer::kSampleRate);
  std::printf(
      "| events/host | host | frames counted / sent | changes counted / sent | folded | failed | "
      "MIDI received / sent by host / expected | latency median / p99 / max ms | host CPU %% |\n");
  std::printf("|---:|---|---:|---:|---:|---:|---:|---:|---:|\n");
  bool delivered = true;
  for (const int events : eventCounts) {
    if (!olad->answers()) {
      std::fprintf(stderr, "the safe olad stopped\n");
      return 2;
    }
    const RunFigures run = measure(*olad, events, seconds, &error);
    if (!error.empty()) {
      std::fprintf(stderr, "%d events per host: %s\n", events, error.c_str());
      return 2;
    }
    delivered = printRun(run) && delivered;
  }
  std::printf("%s  every change delivered to every host and every message to its destination\n",
              delivered ? "met   " : "MISSED");
  return delivered ? 0 : 1;
}
