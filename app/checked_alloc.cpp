#include <cstdlib>

#include "app/app_state.h"
#include "app/startup.h"

namespace {
unsigned long allocCount = 0;
unsigned long failAt = 0;
}  // namespace

void SetAllocFailureAt(unsigned long n) {
  failAt = n;
  allocCount = 0;
}

unsigned long CheckedAllocCount() { return allocCount; }

void* CheckedAlloc(std::size_t size) {
  ++allocCount;
  void* block = nullptr;
  if (failAt == 0 || allocCount != failAt) {
    // malloc(0) may return null without failing; always ask for a byte.
    block = std::malloc(size == 0 ? 1 : size);
  }
  if (block == nullptr) {
    ReportOutOfMemory();
    ShutDown();
  }
  return block;
}

void ReleaseBlock(void* block) { std::free(block); }
