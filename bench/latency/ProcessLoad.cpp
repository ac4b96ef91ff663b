#include "bench/latency/ProcessLoad.h"

#include <dirent.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace notecast::bench {
namespace {

struct StatFields {
  double cpuSeconds = 0;
  int policy = 0;
};

// utime (14th field), stime (15th) and policy (41st) of a /proc stat file.
StatFields readStat(const std::string& path) {
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  StatFields fields;
  const auto afterName = text.rfind(')');
  if (afterName == std::string::npos) return fields;
  std::istringstream rest(text.substr(afterName + 2));
  std::string field;
  unsigned long long ticks = 0;
  for (int n = 3; n <= 41 && rest >> field; ++n) {
    if (n == 14 || n == 15) ticks += std::stoull(field);
    if (n == 41) fields.policy = std::stoi(field);
  }
  fields.cpuSeconds = static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
  return fields;
}

}  // namespace

CpuTimes cpuTimesOf(pid_t pid) {
  const std::string base = "/proc/" + std::to_string(pid);
  CpuTimes times;
  times.total = readStat(base + "/stat").cpuSeconds;
  DIR* tasks = ::opendir((base + "/task").c_str());
  if (!tasks) return times;
  while (const dirent* entry = ::readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    const StatFields thread = readStat(base + "/task/" + entry->d_name + "/stat");
    if (std::to_string(pid) == entry->d_name) {
      times.main = thread.cpuSeconds;
    } else if (thread.policy == SCHED_FIFO || thread.policy == SCHED_RR) {
      times.realTime += thread.cpuSeconds;
    }
  }
  ::closedir(tasks);
  return times;
}

RealTimeThreads::RealTimeThreads(pid_t pid) {
  const std::string base = "/proc/" + std::to_string(pid) + "/task";
  DIR* tasks = ::opendir(base.c_str());
  if (!tasks) return;
  sched_param parameters{};
  parameters.sched_priority = 1;
  while (const dirent* entry = ::readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    const auto tid = static_cast<pid_t>(std::stol(entry->d_name));
    if (::sched_setscheduler(tid, SCHED_FIFO, &parameters) == 0) threads_.push_back(tid);
  }
  ::closedir(tasks);
}

RealTimeThreads::~RealTimeThreads() {
  const sched_param normal{};
  for (const pid_t tid : threads_) ::sched_setscheduler(tid, SCHED_OTHER, &normal);
}

CpuHogs::CpuHogs(int count) {
  for (int i = 0; i < count; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      volatile unsigned long spin = 0;
      for (;;) spin = spin + 1;
    }
    if (pid > 0) pids_.push_back(pid);
  }
}

CpuHogs::~CpuHogs() {
  for (const pid_t pid : pids_) ::kill(pid, SIGKILL);
  for (const pid_t pid : pids_) ::waitpid(pid, nullptr, 0);
}

}  // namespace notecast::bench
