#include "platform/byte_masks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/mask_kernels.h"

namespace codeloom {
namespace {

// Every kernel's masks, byte by byte, against what the bytes are.
TEST(ByteMasks, EveryKernelFindsEachClass) {
  std::mt19937 random(5);
  const ByteClass classes[] = {'\r', '\n', {' ', '\t'}, {'\x80', '\xff'}};
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    for (size_t count = 1; count <= 4; ++count) {
      std::string data(64 * 5, '\0');
      for (char& c : data) c = "\r\n \tx\x80\xff\x7f"[random() % 8];
      uint64_t masks[4 * 5];
      findBytes(data.data(), 5, std::span(classes, count), masks);
      for (size_t i = 0; i < data.size(); ++i)
        for (size_t k = 0; k < count; ++k) {
          bool is = data[i] == classes[k].one || data[i] == classes[k].other;
          ASSERT_EQ(is, (masks[i / 64 * count + k] >> (i % 64)) & 1) << kernelName(kernel) << " byte " << i;
        }
    }
  }
}

// Pairs of letters in either case, exact bytes and any second byte, more
// than one nibble table holds (eight), against the plain test.
TEST(ByteMasks, EveryKernelFindsEachPair) {
  std::vector<BytePair> pairs = {{'f', 'u'}, {'S', 'u'}, {'e', 'n'}, {'#', 0}, {'i', 'n'}, {'p', 'r'},
                                 {'m', 'e'}, {'%', '='}, {'d', '$'}, {'\x80', 'x'}, {'z', 0}};
  for (size_t count : {size_t(1), size_t(8), pairs.size()}) {
    const PairTables tables = makePairTables({pairs.begin(), pairs.begin() + count});
    EXPECT_TRUE(tables.foldsByBit5);
    std::mt19937 random(7);
    std::string alphabet = "fFuUsSeEnNiIpPrRmM#%=dD$zZ\x80xX\xa0@`{ \t";
    for (MaskKernel kernel : kernelsToTest()) {
      UsingKernel using_(kernel);
      for (int round = 0; round < 50; ++round) {
        std::string data(64 * 3 + 1, '\0');
        for (char& c : data) c = alphabet[random() % alphabet.size()];
        uint64_t masks[3];
        findPairs(data.data(), 3, tables, masks);
        for (size_t i = 0; i < 64 * 3; ++i) {
          bool expected = false;
          for (size_t k = 0; k < count; ++k) {
            auto fits = [](char wanted, char c) {
              if (wanted == 0) return true;
              bool letter = (wanted | 0x20) >= 'a' && (wanted | 0x20) <= 'z';
              return letter ? (c | 0x20) == (wanted | 0x20) && (c | 0x20) >= 'a' && (c | 0x20) <= 'z' : c == wanted;
            };
            expected = expected || (fits(pairs[k].first, data[i]) && fits(pairs[k].second, data[i + 1]));
          }
          ASSERT_EQ(expected, (masks[i / 64] >> (i % 64)) & 1)
              << kernelName(kernel) << " pairs " << count << " at " << i << ": " << data.substr(i, 2);
        }
      }
    }
  }
}

// The pass that finds both gives what the two searches give apart.
TEST(ByteMasks, BytesAndPairsInOnePass) {
  const ByteClass classes[] = {'\r', '\n', {' ', '\t'}};
  const PairTables tables = makePairTables({{'f', 'u'}, {'s', 'u'}, {'#', 0}, {'%', 0}, {'e', 'n'}});
  std::mt19937 random(11);
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    std::string data(64 * 4 + 1, '\0');
    for (char& c : data) c = "fFuUsSeEnN#% \t\r\nx"[random() % 17];
    uint64_t bytes[12], pairs[4], apartBytes[12], apartPairs[4];
    findBytesAndPairs(data.data(), 4, classes, tables, bytes, pairs);
    findBytes(data.data(), 4, classes, apartBytes);
    findPairs(data.data(), 4, tables, apartPairs);
    EXPECT_TRUE(std::equal(bytes, bytes + 12, apartBytes)) << kernelName(kernel);
    EXPECT_TRUE(std::equal(pairs, pairs + 4, apartPairs)) << kernelName(kernel);
  }
}

TEST(ByteMasks, AnyPairInReportsEachPlaceInOrderWithinTheText) {
  const PairTables exCo = makePairTables({{'e', 'x'}, {'c', 'o'}});
  struct Case { std::string text; std::vector<size_t> places; };
  const Case cases[] = {
      {"", {}},
      {"e", {}},  // the byte after the text ends no pair
      {"ex", {0}},
      {"Sub A() EXPORT", {8}},
      {"co ex Co eX", {0, 3, 6, 9}},
      {std::string(63, 'x') + "ex" + std::string(64, 'y') + "co", {63, 129}},  // across blocks and into the tail
      {std::string(64 * 20, ' ') + "ex", {64 * 20}},  // past the first sixteen blocks
  };
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    for (const Case& c : cases) {
      std::vector<size_t> places;
      anyPairIn(c.text, exCo, [&](size_t at) { return places.push_back(at), false; });
      EXPECT_EQ(c.places, places) << kernelName(kernel) << ": " << c.text;
    }
  }
}

TEST(ByteMasks, AFoldThatMissesALetterLeavesThePairsToTheScalarKernel) {
  // The table of a code page whose capital I-acute lower-cases to "i" is
  // not at hand here; a pair of bytes that are no letters folds trivially.
  EXPECT_TRUE(makePairTables({{'#', 0}}).foldsByBit5);
  std::array<char, 256> lower = lowerAnsiTable();
  lower[0xCD] = 'i';
  EXPECT_FALSE(foldsByBit5(lower, "in"));
}

TEST(ByteMasks, CopyRunStopsAtTheFirstStopByteWhereverItStands) {
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    for (size_t size : {0, 1, 15, 16, 17, 31, 32, 33, 50}) {
      for (size_t stop = 0; stop <= size; ++stop) {  // stop == size: none in the run
        for (char stopByte : {' ', '\t', '('}) {
          std::string from(size, 'a');
          for (size_t k = 0; k < size; ++k) from[k] = static_cast<char>('a' + k % 26);
          if (stop < size) from[stop] = stopByte, from.back() = ' ';  // a later stop does not count
          std::string to(size, '-');
          const size_t copied = copyRun<' ', '\t', '('>(from.data(), size, to.data());
          ASSERT_EQ(stop, copied) << kernelName(kernel) << " size " << size << " stop " << stop;
          EXPECT_EQ(from.substr(0, stop), to.substr(0, stop)) << kernelName(kernel);
        }
      }
    }
  }
}

TEST(ByteMasks, CopyRunMayWriteBehindWhatItReads) {
  for (MaskKernel kernel : kernelsToTest()) {
    UsingKernel using_(kernel);
    std::string text = "ab" + std::string(40, 'x') + " tail";  // the run copied two bytes back
    EXPECT_EQ(40u, copyRun<' '>(text.data() + 2, text.size() - 2, text.data()));
    EXPECT_EQ(std::string(40, 'x'), text.substr(0, 40)) << kernelName(kernel);
  }
}

}  // namespace
}  // namespace codeloom
