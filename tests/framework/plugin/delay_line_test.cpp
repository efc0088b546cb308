#include "framework/plugin/NChanDelayLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// Feeds one channel through the line in blocks of the given sizes.
std::vector<double> Feed(NChanDelayLine& line, const std::vector<double>& in,
                         const std::vector<int>& blocks) {
  std::vector<double> out(in.size(), -99.0);
  size_t pos = 0;
  for (int n : blocks) {
    double* i = const_cast<double*>(in.data()) + pos;
    double* o = out.data() + pos;
    line.ProcessBlock(&i, &o, n);
    pos += n;
  }
  return out;
}
}  // namespace

TEST(NChanDelayLineTest, DelaysByTheDelayTimeWhateverTheBlockSplit) {
  const std::vector<double> in = {1, 2, 3, 4, 5};
  const std::vector<double> expected = {0, 0, 0, 1, 2};
  NChanDelayLine whole(1, 1);
  whole.SetDelayTime(3);
  EXPECT_EQ(Feed(whole, in, {5}), expected);
  NChanDelayLine split(1, 1);
  split.SetDelayTime(3);
  EXPECT_EQ(Feed(split, in, {2, 2, 1}), expected);
  // The line remembers across calls.
  EXPECT_EQ(Feed(split, {0, 0, 0}, {3}), (std::vector<double>{3, 4, 5}));
}

TEST(NChanDelayLineTest, SetDelayTimeAndClearRestartFromSilence) {
  NChanDelayLine line(1, 1);
  line.SetDelayTime(2);
  Feed(line, {7, 8}, {2});
  line.SetDelayTime(2);  // same value still clears
  EXPECT_EQ(Feed(line, {1, 1, 1}, {3}), (std::vector<double>{0, 0, 1}));
  Feed(line, {9, 9}, {2});
  line.ClearBuffer();
  EXPECT_EQ(Feed(line, {1, 1}, {2}), (std::vector<double>{0, 0}));
}

TEST(NChanDelayLineTest, OnlyChannelsBelowBothCountsAreWritten) {
  double in0[] = {1, 2}, in1[] = {3, 4}, out0[] = {-1, -1}, out1[] = {-1, -1};
  double* ins[] = {in0, in1};
  double* outs[] = {out0, out1};

  NChanDelayLine twoToOne(2, 1);
  twoToOne.SetDelayTime(1);
  twoToOne.ProcessBlock(ins, outs, 2);
  EXPECT_EQ(out0[0], 0);
  EXPECT_EQ(out0[1], 1);
  EXPECT_EQ(out1[1], -1);

  NChanDelayLine oneToTwo(1, 2);
  oneToTwo.SetDelayTime(1);
  out0[0] = out0[1] = -1;
  oneToTwo.ProcessBlock(ins, outs, 2);
  EXPECT_EQ(out0[1], 1);
  EXPECT_EQ(out1[0], -1);  // output 1 left untouched
  EXPECT_EQ(out1[1], -1);
}

TEST(NChanDelayLineTest, InPlaceBuffersAndZeroDelay) {
  double buf[] = {1, 2, 3, 4};
  double* io = buf;
  NChanDelayLine line(1, 1);
  line.SetDelayTime(1);
  line.ProcessBlock(&io, &io, 4);
  EXPECT_EQ(std::vector<double>(buf, buf + 4), (std::vector<double>{0, 1, 2, 3}));

  NChanDelayLine none(1, 1);
  none.SetDelayTime(-4);
  EXPECT_EQ(none.GetDelayTime(), 0);
  EXPECT_EQ(Feed(none, {5, 6}, {2}), (std::vector<double>{5, 6}));
}
