// End-to-end latency of the headless bridge: DMX frames sent to a real OLA universe with OLA's
// streaming client, through notecast-host (--headless --dmx ola:1) and the plug-in, to MIDI read
// back from the host's JACK port by a client of this program that timestamps each message in its
// process callback (jack_get_time). Not a test: it prints the figures (bench/README.md) and
// exits 1 when a budget is missed.
//
// Everything runs privately: a JACK server of its own (dummy driver, 48 kHz) per period, and
// an OLA daemon that cannot reach any network (tests/support/SafeOlad.h: Dummy plugin only, RPC
// on loopback, as nobody; so this program must run as root). The streaming client never starts
// a daemon itself (auto_start off) and is used only while the safe daemon answers.
//
// Per period (256 and 64 frames) and load (1 event on channel 1; 512 events on the 512 channels
// of universe 1; 2048 events on the channels of universes 1 to 4, the host listening to all four;
// all changing every frame), frames go out at 44 per second. Event i sends
// control change i % 128 on MIDI channel i / 128 + 1 with the DMX value / 2; frame k sets its
// channels to 2 * (k % 127), so each message names its frame's code (k % 127) and every frame
// changes every channel. A message's latency is its arrival minus its frame's send time; the
// added latency is that less one JACK period.
//
// Run: sudo build/bin/notecast-latency-bench [seconds per run, default 10]

#include <jack/jack.h>
#include <jack/midiport.h>
#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/PrivateJackServer.h"
#include "tests/support/SafeOlad.h"

namespace notecast {
namespace {

using namespace std::chrono_literals;
using testing::SafeOlad;

constexpr int kFramesPerSecond = 44;
constexpr int kCodes = 127;  // frame k's channels are at 2 * (k % kCodes)
constexpr int kUniverseSlots = 512;
constexpr int kMaxUniverses = 4;
constexpr double kAddedP99BudgetMs = 1.0;

int statusOf(int event) {
  return 0xB0 + event / 128;
}
int controlOf(int event) {
  return event % 128;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// The host's CPU time so far (utime + stime), in seconds.
double cpuSeconds(qint64 pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto afterName = text.rfind(')');
  if (afterName == std::string::npos) return 0;
  std::istringstream fields(text.substr(afterName + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  // Fields from the state (3rd) on: utime is the 14th, stime the 15th.
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n == 14) utime = std::stoull(field);
    if (n == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// One MIDI message as it arrived.
struct Arrival {
  jack_time_t usecs;
  unsigned char status, data1, data2;
};

// A JACK client with one MIDI input; records what arrives while recording is on.
class TimingReader {
 public:
  explicit TimingReader(std::size_t capacity) : arrivals_(capacity) {}
  ~TimingReader() {
    if (client_) {
      jack_deactivate(client_);
      jack_client_close(client_);
    }
  }
  bool open(std::string* error) {
    const std::string name = "latency-reader-" + std::to_string(::getpid());
    client_ = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
    if (!client_) return *error = "cannot open a JACK client", false;
    port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client_, &TimingReader::process, this);
    if (!port_ || jack_activate(client_) != 0) return *error = "cannot activate the reader", false;
    return true;
  }
  bool connectFrom(const std::string& source) {
    return jack_port_by_name(client_, source.c_str()) &&
           jack_connect(client_, source.c_str(), jack_port_name(port_)) == 0;
  }
  jack_nframes_t periodFrames() const { return jack_get_buffer_size(client_); }
  jack_nframes_t sampleRate() const { return jack_get_sample_rate(client_); }

  void startRecording() {
    count_.store(0, std::memory_order_release);
    recording_.store(true, std::memory_order_release);
  }
  void stopRecording() { recording_.store(false, std::memory_order_release); }
  std::size_t count() const { return count_.load(std::memory_order_acquire); }
  std::size_t seen() const { return seen_.load(std::memory_order_acquire); }
  std::size_t overflow() const { return overflow_.load(std::memory_order_acquire); }
  std::vector<Arrival> arrivals() const {
    return {arrivals_.begin(), arrivals_.begin() + static_cast<std::ptrdiff_t>(count())};
  }

 private:
  static int process(jack_nframes_t frames, void* self) {
    static_cast<TimingReader*>(self)->read(frames);
    return 0;
  }
  void read(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(port_, frames);
    const jack_time_t now = jack_get_time();
    const jack_nframes_t events = jack_midi_get_event_count(buffer);
    const bool recording = recording_.load(std::memory_order_acquire);
    std::size_t n = count_.load(std::memory_order_relaxed);
    for (jack_nframes_t i = 0; i < events; ++i) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, buffer, i) != 0) continue;
      seen_.fetch_add(1, std::memory_order_relaxed);
      if (!recording || event.size != 3) continue;
      if (n == arrivals_.size()) {
        overflow_.fetch_add(1, std::memory_order_relaxed);
        continue;
      }
      arrivals_[n++] = {now, event.buffer[0], event.buffer[1], event.buffer[2]};
    }
    count_.store(n, std::memory_order_release);
  }

  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  std::vector<Arrival> arrivals_;
  std::atomic<std::size_t> count_{0}, seen_{0}, overflow_{0};
  std::atomic<bool> recording_{false};
};

struct Figures {
  int period = 0, universes = 0, channels = 0, frames = 0;
  std::size_t expected = 0, delivered = 0, wrongLastValues = 0;
  double periodMs = 0, medianMs = 0, p99Ms = 0, maxMs = 0, cpuPercent = 0;
  std::size_t sendFailures = 0;  // frames the sender could not hand to the daemon
  std::string failure;
};

double quantile(std::vector<double>& values, double q) {
  if (values.empty()) return 0;
  const auto at =
      static_cast<std::size_t>(std::llround(q * static_cast<double>(values.size() - 1)));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

QByteArray eventFile(int channels) {
  QByteArray text = "[General]\r\nMIDIOutputDevice=Notecast virtual output\r\nCount=" +
                    QByteArray::number(channels - 1) + "\r\n";
  for (int i = 0; i < channels; ++i)
    text += "[Entry_" + QByteArray::number(i) + "]\r\nDMXChannel=" + QByteArray::number(i + 1) +
            "\r\nMIDIMessage=" + QByteArray::number(statusOf(i)) +
            "\r\nData1=" + QByteArray::number(controlOf(i)) + "\r\nTyp=4\r\n";
  return text;
}

// One run: the host on a table of `channels` events (on universes 1.. as many as they fill),
// frames for `seconds`.
Figures measure(const SafeOlad& olad, int channels, int seconds, std::string* error) {
  Figures figures;
  figures.channels = channels;
  figures.universes = (channels + kUniverseSlots - 1) / kUniverseSlots;
  QString universeList;
  for (int u = 1; u <= figures.universes; ++u)
    universeList += (u > 1 ? "," : "") + QString::number(u);
  figures.frames = seconds * kFramesPerSecond;
  QTemporaryDir folder;
  const QString base = folder.filePath("latency");
  QFile file(base + ".Notecast");
  if (!file.open(QIODevice::WriteOnly) || file.write(eventFile(channels)) < 0) {
    *error = "cannot write the event file";
    return figures;
  }
  file.close();

  QProcess host;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", folder.filePath("config"));
  environment.insert("NOTECAST_MIDI_API", "jack");
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  host.setProcessEnvironment(environment);
  host.start(QStringLiteral(NOTECAST_BIN_DIR "/notecast-host"),
             {"--plugin", QStringLiteral(NOTECAST_BIN_DIR "/Notecast.so"), "--project", base,
              "--headless", "--dmx", "ola:" + universeList});
  if (!host.waitForStarted()) return *error = "notecast-host did not start", figures;
  auto hostError = [&] {
    host.terminate();
    host.waitForFinished(5000);
    return host.readAllStandardError().toStdString();
  };

  TimingReader reader(static_cast<std::size_t>(figures.frames) * channels * 2 + 1024);
  if (!reader.open(error)) return hostError(), figures;
  if (!waitFor([&] { return reader.connectFrom("Notecast:out"); }, 10s))
    return *error = "no Notecast:out: " + hostError(), figures;
  figures.period = static_cast<int>(reader.periodFrames());
  figures.periodMs = 1000.0 * reader.periodFrames() / reader.sampleRate();

  if (!olad.answers()) return *error = "the safe olad stopped", hostError(), figures;
  // One streaming client per universe: a client gets no replies, so on one connection the
  // kernel holds a frame's third universe back (Nagle) until the daemon's delayed
  // acknowledgement, some 40 ms, which would be measured as the host's latency.
  ola::client::StreamingClient::Options options;
  options.auto_start = false;  // never a daemon of the default configuration
  std::vector<std::unique_ptr<ola::client::StreamingClient>> senders;
  for (int u = 0; u < figures.universes; ++u) {
    senders.push_back(std::make_unique<ola::client::StreamingClient>(options));
    if (!senders.back()->Setup())
      return *error = "the OLA client cannot connect", hostError(), figures;
  }

  std::vector<ola::DmxBuffer> frames(static_cast<std::size_t>(figures.universes));
  for (ola::DmxBuffer& frame : frames) frame.Blackout();
  // One frame of each universe; the channels of the events only.
  auto send = [&](int value) {
    for (int u = 0; u < figures.universes; ++u) {
      ola::DmxBuffer& frame = frames[static_cast<std::size_t>(u)];
      const int used = std::min(kUniverseSlots, channels - u * kUniverseSlots);
      for (int i = 0; i < used; ++i) frame.SetChannel(static_cast<unsigned>(i), value);
      if (!senders[static_cast<std::size_t>(u)]->SendDmx(static_cast<unsigned>(u + 1), frame))
        ++figures.sendFailures;
    }
  };
  // The host registers its universe once connected: send until its first message comes back.
  if (!waitFor(
          [&] {
            send(2 * kCodes);
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 / kFramesPerSecond));
            return reader.seen() > 0;
          },
          15s))
    return *error = "no MIDI came back: " + hostError(), figures;
  std::this_thread::sleep_for(500ms);
  reader.startRecording();

  std::vector<jack_time_t> sent(static_cast<std::size_t>(figures.frames));
  const double cpuBefore = cpuSeconds(host.processId());
  const auto start = std::chrono::steady_clock::now();
  const auto interval = std::chrono::nanoseconds(1'000'000'000 / kFramesPerSecond);
  for (int k = 0; k < figures.frames; ++k) {
    std::this_thread::sleep_until(start + k * interval);
    sent[static_cast<std::size_t>(k)] = jack_get_time();
    send(2 * (k % kCodes));
  }
  std::this_thread::sleep_for(1s);
  reader.stopRecording();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.cpuPercent = 100.0 * (cpuSeconds(host.processId()) - cpuBefore) / wall;
  for (auto& sender : senders) sender->Stop();
  host.terminate();
  if (!host.waitForFinished(10000)) host.kill();

  // Each message to its frame: the latest frame sent before it arrived with the message's code.
  std::vector<double> latencies;
  std::vector<int> lastCode(static_cast<std::size_t>(channels), -1);
  const std::vector<Arrival> arrivals = reader.arrivals();
  for (const Arrival& arrival : arrivals) {
    const int event = (arrival.status - 0xB0) * 128 + arrival.data1;
    if (arrival.status < 0xB0 || arrival.status > 0xBF || event >= channels ||
        arrival.data2 >= kCodes)
      continue;
    const auto after = std::upper_bound(sent.begin(), sent.end(), arrival.usecs);
    if (after == sent.begin()) continue;
    const int latest = static_cast<int>(after - sent.begin()) - 1;
    const int k = latest - ((latest - arrival.data2) % kCodes + kCodes) % kCodes;
    if (k < 0) continue;
    ++figures.delivered;
    lastCode[static_cast<std::size_t>(event)] = arrival.data2;
    latencies.push_back(static_cast<double>(arrival.usecs - sent[static_cast<std::size_t>(k)]) /
                        1000.0);
  }
  figures.expected = static_cast<std::size_t>(figures.frames) * channels;
  const int finalCode = (figures.frames - 1) % kCodes;
  figures.wrongLastValues = static_cast<std::size_t>(
      std::count_if(lastCode.begin(), lastCode.end(), [&](int code) { return code != finalCode; }));
  figures.medianMs = quantile(latencies, 0.5);
  figures.p99Ms = quantile(latencies, 0.99);
  figures.maxMs = latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end());
  if (reader.overflow() > 0) figures.failure = "reader overflow";
  // A change lost before the host saw it is not the host's; it is told apart here.
  if (figures.sendFailures > 0)
    figures.failure += " (" + std::to_string(figures.sendFailures) + " universe frames not sent)";
  return figures;
}

}  // namespace
}  // namespace notecast

int main(int argc, char** argv) {
  using namespace notecast;
  QCoreApplication app(argc, argv);
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string unavailable = SafeOlad::unavailableReason();
  if (!unavailable.empty()) {
    std::fprintf(stderr, "no safe olad: %s\n", unavailable.c_str());
    return 2;
  }
  std::printf(
      "%d frames/s, %d s per run; latency = arrival in the reader's process callback "
      "minus the frame's send time; added = latency - one period\n",
      kFramesPerSecond, seconds);
  std::printf(
      "| period | channels/frame | delivered | last values wrong | latency median / p99 / "
      "max ms | added median / p99 ms | host CPU %% |\n");
  std::printf("|---:|---:|---:|---:|---:|---:|---:|\n");
  bool withinBudget = true;
  for (const int period : {256, 64}) {
    std::string error;
    auto jack =
        PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-latency"), &error, period);
    if (!jack) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 2;
    }
    auto olad = SafeOlad::start(&error);
    if (!olad) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 2;
    }
    for (const int channels : {1, kUniverseSlots, kMaxUniverses * kUniverseSlots}) {
      const Figures f = measure(*olad, channels, seconds, &error);
      if (!error.empty()) {
        std::fprintf(stderr, "period %d, %d channels: %s\n", period, channels, error.c_str());
        return 2;
      }
      std::printf(
          "| %d (%.2f ms) | %d | %zu / %zu (%.4f) | %zu | %.2f / %.2f / %.2f | %.2f / %.2f "
          "| %.1f |%s\n",
          f.period, f.periodMs, channels, f.delivered, f.expected,
          static_cast<double>(f.delivered) / static_cast<double>(f.expected), f.wrongLastValues,
          f.medianMs, f.p99Ms, f.maxMs, f.medianMs - f.periodMs, f.p99Ms - f.periodMs, f.cpuPercent,
          f.failure.c_str());
      std::fflush(stdout);
      if (f.delivered != f.expected || f.wrongLastValues != 0 || !f.failure.empty() ||
          f.p99Ms - f.periodMs > kAddedP99BudgetMs)
        withinBudget = false;
    }
  }
  std::printf(
      "budgets (every change delivered, every last value right, added p99 <= %.1f ms): "
      "%s\n",
      kAddedP99BudgetMs, withinBudget ? "met" : "MISSED");
  return withinBudget ? 0 : 1;
}
