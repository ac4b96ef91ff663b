#pragma once
// What a process costs and what the machine is busy with, for the latency benchmark: the CPU
// time of a process split by its threads, and CPU-bound processes to run beside it.

#include <sys/types.h>

#include <vector>

namespace notecast::bench {

// CPU time (utime + stime) in seconds: the whole process, its main thread, and its real-time
// threads other than the main one (the MIDI system's process callback).
struct CpuTimes {
  double total = 0, main = 0, realTime = 0;
};
CpuTimes cpuTimesOf(pid_t pid);
// The CPU used between `before` and `after` in % of one core over `wallSeconds`.
inline CpuTimes percentOf(const CpuTimes& before, const CpuTimes& after, double wallSeconds) {
  return {100.0 * (after.total - before.total) / wallSeconds,
          100.0 * (after.main - before.main) / wallSeconds,
          100.0 * (after.realTime - before.realTime) / wallSeconds};
}

// Every thread of process `pid` at SCHED_FIFO 1 while the object lives, then at normal priority
// again.
class RealTimeThreads {
 public:
  explicit RealTimeThreads(pid_t pid);
  ~RealTimeThreads();
  RealTimeThreads(const RealTimeThreads&) = delete;
  RealTimeThreads& operator=(const RealTimeThreads&) = delete;

 private:
  std::vector<pid_t> threads_;
};

// `count` processes that spin at normal priority until the object goes (SIGKILL, reaped); they
// also end when the benchmark does.
class CpuHogs {
 public:
  explicit CpuHogs(int count);
  ~CpuHogs();
  CpuHogs(const CpuHogs&) = delete;
  CpuHogs& operator=(const CpuHogs&) = delete;

 private:
  std::vector<pid_t> pids_;
};

}  // namespace notecast::bench
