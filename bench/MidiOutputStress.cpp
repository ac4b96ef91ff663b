// The MIDI output control on a private JACK server, under stress, outside CTest:
//
//   notecast-midi-stress close [runs] [churn]
//     Makes, uses and destroys the control in a fresh process per run (as a host run of a
//     script does): it lists the outputs, opens the virtual output and a destination, sends,
//     and goes. "churn": another process opens and closes JACK clients without pause meanwhile.
//     Reports the runs that hang (no end within 20 s; their threads are dumped with gdb when
//     there is one), crash, or leave a JACK close behind (the bounded close says so on
//     standard error), and the slowest run.
//
//   notecast-midi-stress return [rounds]
//     A destination quits and starts again while a note goes out every millisecond; the control
//     recovers when its notifier wakes it, as the window does. Reports the time from the
//     destination's port being back to the first note it receives.

#include <RtMidi.h>
#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiApiChoice.h"
#include "midi/MidiOutputControl.h"
#include "tests/support/PrivateJackServer.h"

namespace {

using namespace notecast;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kHang = 20s;
constexpr const char* kLeftBehind = "left behind";

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void send(MidiOutputControl& control, int key) {
  control.setStatusByte(0x90);
  control.setDataByte1(key);
  control.setDataByte2(100);
  try {
    control.setAction(static_cast<std::int32_t>(MidiAction::kSend));
  } catch (...) {  // the output is missing for a moment; the run goes on
  }
}

// One run's life of the control; the destination's port name in argv.
int child(const char* destination) {
  auto control = createMidiOutputControl();
  control->setDeviceReport([](std::int16_t&, std::string&) {});
  control->deviceCount();
  control->setDeviceName("Notecast virtual output");
  control->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  for (int i = 0; i < 5; ++i) send(*control, 60 + i);
  control->setDeviceName(destination);
  control->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  for (int i = 0; i < 5; ++i) send(*control, 70 + i);
  control.reset();
  return 0;
}

// A JACK client with a MIDI input port that nobody reads: a destination to open.
jack_client_t* openDestination(const std::string& name) {
  jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
  if (!client) return nullptr;
  jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  jack_activate(client);
  return client;
}

// Opens and closes a JACK client without pause, until killed.
int churn() {
  const std::string name = "churn-" + std::to_string(::getpid());
  for (;;) {
    if (jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, nullptr))
      jack_client_close(client);
  }
}

pid_t startChurn() {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/proc/self/exe", "notecast-midi-stress", "churn", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

int stressClose(int runs, bool churning) {
  const pid_t churner = churning ? startChurn() : 0;
  const std::string destination = "stress-synth-" + std::to_string(::getpid());
  jack_client_t* synth = openDestination(destination);
  if (!synth) return std::fprintf(stderr, "no destination\n"), 1;
  int hangs = 0, crashes = 0, leftBehind = 0;
  Clock::duration slowest{};
  for (int run = 0; run < runs; ++run) {
    int err[2];
    if (::pipe2(err, O_CLOEXEC) != 0) return 1;
    const auto began = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(err[1], STDERR_FILENO);
      ::execl("/proc/self/exe", "notecast-midi-stress", "child", (destination + ":in").c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(err[1]);
    ::fcntl(err[0], F_SETFL, O_NONBLOCK);
    std::string said;
    int status = 0;
    bool hung = false;
    char buffer[512];
    for (;;) {
      for (ssize_t n; (n = ::read(err[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
      if (::waitpid(pid, &status, WNOHANG) == pid) break;
      if (Clock::now() - began > kHang) {
        hung = true;
        break;
      }
      std::this_thread::sleep_for(2ms);
    }
    ::close(err[0]);
    slowest = std::max(slowest, Clock::now() - began);
    if (hung) {
      ++hangs;
      std::printf("run %d hangs; threads in stress-hang-%d.txt\n", run, pid);
      const std::string dump = "gdb -p " + std::to_string(pid) +
                               " -batch -ex 'thread apply all bt' > stress-hang-" +
                               std::to_string(pid) + ".txt 2>&1";
      if (std::system(dump.c_str()) != 0) std::printf("  (no gdb dump)\n");
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
    } else if (WIFSIGNALED(status)) {
      ++crashes;
      std::printf("run %d ends with signal %d\n", run, WTERMSIG(status));
    }
    if (said.find(kLeftBehind) != std::string::npos) {
      ++leftBehind;
      std::printf("run %d: %s", run, said.c_str());
    }
    if ((run + 1) % 250 == 0) std::printf("%d runs\n", run + 1);
    std::fflush(stdout);
  }
  if (churner > 0) {
    ::kill(churner, SIGKILL);
    ::waitpid(churner, nullptr, 0);
  }
  jack_client_close(synth);
  std::printf("%d runs%s: %d hang, %d crash, %d left a close behind; slowest %.3f s\n", runs,
              churning ? " with clients churning" : "", hangs, crashes, leftBehind,
              seconds(slowest));
  return hangs + crashes > 0 ? 2 : 0;
}

int measureReturn(int rounds) {
  const std::string client = "stress-synth-" + std::to_string(::getpid());
  auto control = createMidiOutputControl();
  std::atomic<bool> woken{false};
  control->setDeviceReport([](std::int16_t&, std::string&) {});
  control->setChangeNotifier([&] { woken = true; });
  std::atomic<bool> done{false};
  std::vector<double> latencies;
  // The destination's life on a thread of its own: it quits, starts again, and times the
  // first note it gets.
  std::thread destination([&] {
    for (int round = 0; round < rounds; ++round) {
      std::this_thread::sleep_for(300ms);
      auto in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, client);
      in->openVirtualPort("in");
      const auto back = Clock::now();
      std::vector<unsigned char> message;
      while (message.empty() && Clock::now() - back < 10s) {
        in->getMessage(&message);
        std::this_thread::sleep_for(100us);
      }
      if (!message.empty()) latencies.push_back(seconds(Clock::now() - back) * 1000);
      for (const auto until = Clock::now() + 200ms; Clock::now() < until;) {
        in->getMessage(&message);  // read on, so that its queue never fills
        std::this_thread::sleep_for(1ms);
      }
      in.reset();  // quits
    }
    done = true;
  });
  bool chosen = false;
  for (int key = 0; !done; key = (key + 1) % 128) {
    if (!chosen && control->deviceCount() > 0) {
      control->setDeviceName(client + ":in");
      control->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
      chosen = true;
    }
    if (woken.exchange(false)) control->recover();  // the window's queued call
    if (chosen) send(*control, key);
    std::this_thread::sleep_for(1ms);
  }
  destination.join();
  if (latencies.empty()) return std::printf("no note arrived\n"), 2;
  std::sort(latencies.begin(), latencies.end());
  std::printf(
      "%zu returns: first note after %.1f ms (median), %.1f ms (fastest), %.1f ms "
      "(slowest)\n",
      latencies.size(), latencies[latencies.size() / 2], latencies.front(), latencies.back());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "child") == 0) return child(argv[2]);
  if (argc > 1 && std::strcmp(argv[1], "churn") == 0) return churn();
  const std::string mode = argc > 1 ? argv[1] : "close";
  const int count = argc > 2 ? std::atoi(argv[2]) : (mode == "close" ? 2000 : 20);
  ::setenv(MidiApiChoice::kVariable, "jack", 1);
  std::string error;
  auto server = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-stress"), &error);
  if (!server) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
  if (mode == "close") return stressClose(count, argc > 3 && std::strcmp(argv[3], "churn") == 0);
  if (mode == "return") return measureReturn(count);
  std::fprintf(stderr, "usage: notecast-midi-stress close [runs] [churn] | return [rounds]\n");
  return 1;
}
