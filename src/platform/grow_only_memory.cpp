#include "platform/grow_only_memory.h"

#include <algorithm>
#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#define CODELOOM_HUGE_PAGES 1
#else
#define CODELOOM_HUGE_PAGES 0
#endif

namespace codeloom {
#if CODELOOM_HUGE_PAGES
namespace {

constexpr size_t kHugePage = size_t(2) << 20;

size_t roundUp(size_t size, size_t step) { return (size + step - 1) / step * step; }

}  // namespace
#endif

GrowOnlyMemory::GrowOnlyMemory(Pages pages) : huge_(CODELOOM_HUGE_PAGES && pages == Pages::Huge) {}

GrowOnlyMemory::~GrowOnlyMemory() {
#if CODELOOM_HUGE_PAGES
  for (const Region& region : regions_) munmap(region.at, region.size);
#endif
}

void* GrowOnlyMemory::do_allocate(size_t bytes, size_t alignment) {
  if (!huge_ || bytes <= kHeapBytes - std::min(heapBytes_, kHeapBytes)) {
    heapBytes_ += bytes;
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
#if CODELOOM_HUGE_PAGES
  // Regions are whole huge pages, so rounding up to an alignment no larger
  // than one stays inside the last region.
  if (alignment > kHugePage) throw std::bad_alloc();
  size_t at = regions_.empty() ? 0 : roundUp(used_, alignment);
  if (regions_.empty() || bytes > regions_.back().size - at) {
    if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
    // Mapped with a huge page's worth to spare, then cut to a boundary:
    // only a whole aligned 2 MB can be one huge page.
    const size_t size = roundUp(bytes, kHugePage);
    regions_.reserve(regions_.size() + 1);
    void* mapped = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    char* start = static_cast<char*>(mapped);
    char* aligned = reinterpret_cast<char*>(roundUp(reinterpret_cast<uintptr_t>(start), kHugePage));
    if (aligned != start) munmap(start, static_cast<size_t>(aligned - start));
    munmap(aligned + size, static_cast<size_t>(start + kHugePage - aligned));  // never empty
    madvise(aligned, size, MADV_HUGEPAGE);  // only advice: without it the pages are ordinary
    regions_.push_back({aligned, size});
    at = 0;
  }
  used_ = at + bytes;
  return regions_.back().at + at;
#else
  throw std::bad_alloc();
#endif
}

void GrowOnlyMemory::do_deallocate(void* block, size_t bytes, size_t alignment) {
  auto* at = static_cast<char*>(block);
  for (const Region& region : regions_)
    if (at >= region.at && at < region.at + region.size) return;
  std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
}

}  // namespace codeloom
