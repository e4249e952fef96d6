#include "bench/AllocationCounting.h"

#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> gLive{0}, gPeak{0};

void Counted(void* p) {
  if (!p) throw std::bad_alloc();
  const auto size = static_cast<int64_t>(malloc_usable_size(p));
  const int64_t live = gLive.fetch_add(size, std::memory_order_relaxed) + size;
  int64_t peak = gPeak.load(std::memory_order_relaxed);
  while (live > peak && !gPeak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
  }
}

void Uncounted(void* p) {
  if (p) gLive.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
  std::free(p);
}

}  // namespace

namespace tamarind::bench {

int64_t LiveBytes() { return gLive.load(); }
int64_t PeakBytes() { return gPeak.load(); }
int64_t ResetPeak() {
  const int64_t live = gLive.load();
  gPeak.store(live);
  return live;
}

double ProcessMaxRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace tamarind::bench

void* operator new(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  Counted(p);
  return p;
}
void* operator new[](size_t n) { return ::operator new(n); }
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, size_t) noexcept { Uncounted(p); }
