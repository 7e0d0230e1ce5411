#pragma once
// The resident size of this benchmark's own process, as /proc gives it.
#include <fstream>
#include <string>

// "VmRSS" (now) or "VmHWM" (the peak) from /proc/self/status, in bytes.
inline double StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) * 1024.0;
  return 0;
}

// Starts a new peak of the resident size at the current size.
inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }
