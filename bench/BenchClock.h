// Wall time and peak memory, as every benchmark prints them.
#pragma once

#include <sys/resource.h>

#include <chrono>

namespace quorvane::bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline long PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace quorvane::bench
