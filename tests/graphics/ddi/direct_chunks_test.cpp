// The direct mode's chunk protocol: a transfer numbered at its first chunk, chunks taken only
// in order, one beyond the image's total refused, and the id counter wrapping to 1.
#include <gtest/gtest.h>

#include "graphics/ddi/direct_mode.h"

namespace {

TEST(DirectChunks, TransferInOrder) {
  DirectModeState s{};
  InitDirectModeState(&s, 0x3000000, 0, 0);
  struct Step {
    const char* name;
    ImageChunk chunk;  // total, offset, length, id
    WORD answer;       // 0 refused; kFirst the next id
  };
  const Step steps[] = {
      {"first chunk", {2500, 0, 1000, 0}, 1},
      {"gap", {2500, 900, 1000, 1}, 0},
      {"second", {2500, 1000, 1000, 1}, 1},
      {"beyond the total", {2500, 2000, 501, 1}, 0},
      {"last", {2500, 2000, 500, 1}, 1},
      {"chunk of a finished transfer", {2500, 2500, 10, 1}, 0},
      {"next image", {300, 0, 100, 0}, 2},
      {"other transfer drops it", {300, 100, 100, 7}, 0},
      {"dropped transfer", {300, 100, 100, 2}, 0},
      {"next image after the drop", {300, 0, 300, 0}, 3},
      {"length wrapping past the total", {0xFFFFFFFF, 0, 0xFFFFFFF0, 0}, 4},
      {"wrapping chunk", {0xFFFFFFFF, 0xFFFFFFF0, 0xFFFFFFF0, 4}, 0},
  };
  for (const Step& step : steps) EXPECT_EQ(AcceptImageChunk(&s, step.chunk), step.answer) << step.name;

  DirectModeState wrap{};
  wrap.transferCounter = kMaxTransferId;
  EXPECT_EQ(AcceptImageChunk(&wrap, {10, 0, 10, 0}), 1);
}

}  // namespace
