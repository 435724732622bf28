// What the Windows benchmarks share: a program beside the running one, a
// clock in seconds, and the median of a run's figures.
#ifndef QUILLET_TESTS_BENCH_BENCH_WIN32_H
#define QUILLET_TESTS_BENCH_BENCH_WIN32_H

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

inline std::string Beside(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of('\\') + 1) + name;
}

inline double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

#endif
