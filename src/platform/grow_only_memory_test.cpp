#include "platform/grow_only_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace codeloom {
namespace {

// Blocks of every size from a byte to past a huge page, each aligned as
// asked, each keeping its bytes while the others are written: the table of
// blocks outgrows the first region several times over.
TEST(GrowOnlyMemory, BlocksKeepTheirBytesAndAlignment) {
  for (auto pages : {GrowOnlyMemory::Pages::Huge, GrowOnlyMemory::Pages::Plain}) {
    GrowOnlyMemory memory(pages);
    struct Block {
      unsigned char* at;
      size_t size, alignment;
    };
    std::vector<Block> blocks;
    const size_t sizes[] = {1, 7, 64, 4096, 65536, 1 << 20, (size_t(2) << 20) + 1, 3};
    const size_t alignments[] = {1, 8, 16, 64, 4096};
    for (int round = 0; round < 6; ++round)
      for (size_t size : sizes)
        for (size_t alignment : alignments) {
          auto* at = static_cast<unsigned char*>(memory.allocate(size, alignment));
          ASSERT_EQ(0u, reinterpret_cast<uintptr_t>(at) % alignment) << size;
          std::fill(at, at + size, static_cast<unsigned char>(blocks.size()));
          blocks.push_back({at, size, alignment});
        }
    for (size_t k = 0; k < blocks.size(); ++k)
      for (size_t i = 0; i < blocks[k].size; i += 97)
        ASSERT_EQ(static_cast<unsigned char>(k), blocks[k].at[i]) << "block " << k << " byte " << i;
    for (const Block& block : blocks) memory.deallocate(block.at, block.size, block.alignment);
  }
}

// A pmr string grown a byte at a time gives back every block it leaves.
TEST(GrowOnlyMemory, HoldsAGrowingContainer) {
  GrowOnlyMemory memory;
  std::pmr::string text(&memory);
  for (int k = 0; k < 3'000'000; ++k) text += static_cast<char>('a' + k % 26);
  EXPECT_EQ(3'000'000u, text.size());
  EXPECT_EQ('a' + 2'999'999 % 26, text.back());
}

// Past the heap's share, a block that no huge page's alignment gives, or
// larger than memory, is out of memory, never a block outside a region.
TEST(GrowOnlyMemory, ImpossibleBlocksAreOutOfMemory) {
  GrowOnlyMemory memory;
  void* heap = memory.allocate(GrowOnlyMemory::kHeapBytes);
  void* first = memory.allocate((size_t(2) << 20) - 1, 1);
  EXPECT_THROW(memory.allocate(8, size_t(4) << 20), std::bad_alloc);
  EXPECT_THROW(memory.allocate(SIZE_MAX - 4096, 8), std::bad_alloc);
  void* next = memory.allocate(8, 4096);
  EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(next) % 4096);
  memory.deallocate(next, 8, 4096);
  memory.deallocate(first, (size_t(2) << 20) - 1, 1);
  memory.deallocate(heap, GrowOnlyMemory::kHeapBytes);
}

}  // namespace
}  // namespace codeloom
