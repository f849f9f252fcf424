// Memory for tables that only grow and are freed as a whole, such as the
// equates of an API include: tens of thousands of entries, each written
// once. Every 4 KB page written the first time costs a page fault (about
// 4 us on a VM). Where the system offers huge pages on request (Linux
// transparent huge pages), this resource hands out memory from 2 MB huge
// pages, one fault each, once its first kHeapBytes are handed out: a huge
// page costs as much as thirty small ones, which a small table never needs.
// Before that, elsewhere, and where Pages::Plain asks for it, requests go
// to the heap. A block given back on a huge page stays taken until the
// resource dies.
#pragma once

#include <cstddef>
#include <memory_resource>
#include <vector>

namespace codeloom {

class GrowOnlyMemory final : public std::pmr::memory_resource {
 public:
  enum class Pages { Huge, Plain };
  static constexpr size_t kHeapBytes = size_t(64) << 10;
  explicit GrowOnlyMemory(Pages pages = Pages::Huge);
  ~GrowOnlyMemory() override;
  GrowOnlyMemory(const GrowOnlyMemory&) = delete;
  GrowOnlyMemory& operator=(const GrowOnlyMemory&) = delete;

 private:
  struct Region {
    char* at;
    size_t size;
  };
  void* do_allocate(size_t bytes, size_t alignment) override;
  void do_deallocate(void* block, size_t bytes, size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  bool huge_;
  size_t heapBytes_ = 0;  // handed out from the heap
  std::vector<Region> regions_;
  size_t used_ = 0;  // of the last region
};

}  // namespace codeloom
