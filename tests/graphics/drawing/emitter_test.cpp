// The graphics-state emitter: state sent only when it changed (cache on), always (cache off),
// the reset values after invalidation, and the choice of integer or real forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/device/pdev.h"
#include "graphics/drawing/graphics_emitter.h"
#include "tests/graphics/drawing/drawing_fixture.h"

namespace {

class EmitterTest : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    if (HasFatalFailure()) return;
    auto* session = static_cast<DrawingLibrarySession*>(AllocCounted(channel_, sizeof(DrawingLibrarySession)));
    ASSERT_NE(session, nullptr);
    channel_->session = session;
    pdev_.channel = channel_;
    emitter_ = CreateGraphicsEmitter(&pdev_, 1);
    ASSERT_NE(emitter_, nullptr);
    RecordToFile();
  }

  void TearDown() override {
    FreeGraphicsEmitter(emitter_);
    DrawingTest::TearDown();
  }

  // The list bytes written since the last call.
  std::vector<BYTE> Sent() {
    const std::vector<BYTE> all = FileBytes();
    std::vector<BYTE> fresh(all.begin() + static_cast<long>(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }

  Pdev pdev_{};
  GraphicsStateEmitter* emitter_ = nullptr;
  size_t seen_ = 0;
};

TEST_F(EmitterTest, CreationNeedsADeviceAndAValue) {
  EXPECT_EQ(CreateGraphicsEmitter(nullptr, 1), nullptr);
  EXPECT_EQ(CreateGraphicsEmitter(&pdev_, 0), nullptr);
  EXPECT_EQ(emitter_->mode, 1u);
  EXPECT_EQ(emitter_->resetPageState, 1u);
  EXPECT_EQ(emitter_->cache->enabled, 1u);
  EXPECT_GE(emitter_->osLevel, 1u);
}

TEST_F(EmitterTest, StateIsSentOnlyWhenItChanges) {
  EXPECT_EQ(EmitLineWidth(emitter_, 2.0f), 0);
  EXPECT_EQ(EmitLineWidth(emitter_, 2.0f), 0);
  EXPECT_EQ(Sent(), HexBytes("41 44 0002")) << "one AD with 2";
  EXPECT_EQ(EmitLineWidth(emitter_, 2.5f), 0);
  EXPECT_EQ(Sent(), HexBytes("41 64 40200000"));
  EXPECT_EQ(EmitMiterLimit(emitter_, 10.0f), 0);
  EXPECT_EQ(EmitMiterLimit(emitter_, 200.0f), 0);
  EXPECT_EQ(Sent(), HexBytes("41 47 0A 41 67 43480000"));
  const BYTE red[] = {0xFF, 0, 0};
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 4, red), 0);
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 4, red), 0);
  EXPECT_EQ(Sent(), HexBytes("41 4D 02 04 FF 00 00"));
  EXPECT_EQ(EmitRopMode(emitter_, 13, 1), 0);
  EXPECT_EQ(EmitRopMode(emitter_, 13, 1), 0);
  EXPECT_EQ(EmitRopMode(emitter_, 13, 2), 0);
  EXPECT_EQ(Sent(), HexBytes("41 4C 0D 00000001 41 4C 0D 00000002"));
  // Line types: kind 1 twice is sent once; the user pattern always, and the kind after it.
  const float dashes[] = {40, 10};
  EXPECT_EQ(EmitLineType(emitter_, 1, 0, 0, nullptr), 0);
  EXPECT_EQ(EmitLineType(emitter_, 1, 0, 0, nullptr), 0);
  EXPECT_EQ(EmitLineType(emitter_, 6, 0, 2, dashes), 0);
  EXPECT_EQ(EmitLineType(emitter_, 6, 0, 2, dashes), 0);
  EXPECT_EQ(EmitLineType(emitter_, 1, 0, 0, nullptr), 0);
  EXPECT_EQ(Sent(), HexBytes("41 48 01 41 48 06 0000 02 0028 000A 41 48 06 0000 02 0028 000A 41 48 01"));
  const LONG realDashes[] = {3, 1};
  const float halfDashes[] = {1.5f, 0.5f};
  EXPECT_EQ(EmitLineTypeFromIntegers(emitter_, 6, 2, 2, realDashes), 0);
  EXPECT_EQ(EmitLineType(emitter_, 6, 0, 2, halfDashes), 0);
  EXPECT_EQ(Sent(), HexBytes("41 48 06 0002 02 0003 0001 41 68 06 00000000 02 3FC00000 3F000000"));
  EXPECT_EQ(EmitGraphicsMode(emitter_, 1, 0), 0);
  EXPECT_EQ(EmitGraphicsMode(emitter_, 1, 0), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 1, 600), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 2, 600), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 1, 600), 0);
  EXPECT_EQ(Sent(), HexBytes("46 46 01 46 41 01 0258 46 41 02 0258"));
}

TEST_F(EmitterTest, DisabledCacheSendsEverythingAndStillLearns) {
  const BYTE grey[] = {0x80};
  EXPECT_EQ(SetStateCacheEnabled(emitter_, 0), 1u);
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 3, grey), 0);
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 3, grey), 0);
  EXPECT_EQ(Sent(), HexBytes("41 4D 02 03 80 41 4D 02 03 80"));
  EXPECT_EQ(SetStateCacheEnabled(emitter_, 1), 0u);
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 3, grey), 0);
  EXPECT_TRUE(Sent().empty()) << "the cache learnt the colour while off";
}

TEST_F(EmitterTest, InvalidationSetsTheResetValues) {
  EXPECT_EQ(EmitLineCap(emitter_, 2), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 1, 300), 0);
  Sent();
  EXPECT_EQ(InvalidateStateCache(emitter_), 0);
  EXPECT_TRUE(Sent().empty()) << "invalidation sends nothing";
  EXPECT_EQ(EmitLineWidth(emitter_, 0), 0);
  EXPECT_EQ(EmitFillMode(emitter_, 0), 0);
  EXPECT_TRUE(Sent().empty()) << "0 is the reset value of both";
  EXPECT_EQ(EmitLineCap(emitter_, 0), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 1, 300), 0);
  EXPECT_EQ(Sent(), HexBytes("41 45 00 46 41 01 012C")) << "the page part was cleared too";
  // Without the reset flag the page part survives until the page state is reset.
  SetEmitterMode(emitter_, 2, 0);
  EXPECT_EQ(InvalidateStateCache(emitter_), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 1, 300), 0);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(ResetEmitterPageState(emitter_), 0);
  EXPECT_EQ(EmitPatternResolution(emitter_, 1, 300), 0);
  EXPECT_EQ(Sent(), HexBytes("46 41 01 012C"));
}

TEST_F(EmitterTest, PatternsMakeTheSolidColourUnknown) {
  const BYTE blue[] = {0, 0, 0xFF};
  const BYTE white[] = {0xFF, 0xFF, 0xFF};
  ASSERT_EQ(EmitTextColor(emitter_, 1, 4, 1, white), 0);
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 4, blue), 0);
  EXPECT_EQ(EmitHatchPattern(emitter_, 1, 2, 3, 4, 0x11, blue), 0);
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 4, blue), 0);
  EXPECT_EQ(Sent(), HexBytes("41 4D 02 04 0000FF 41 4E 0001 0002 03 04 0000FF 11 02 04 FFFFFF 41 4D 02 04 0000FF"));
  // Raster patterns: the same key and data once; other data bytes again.
  const BYTE a[] = {1, 2, 3}, b[] = {1, 2, 4};
  EXPECT_EQ(EmitRasterPattern(emitter_, 0, 0, 1, 4, 8, 1, 1, 1, 3, a), 0);
  EXPECT_EQ(EmitRasterPattern(emitter_, 0, 0, 1, 4, 8, 1, 1, 1, 3, a), 0);
  EXPECT_EQ(EmitRasterPattern(emitter_, 0, 0, 1, 4, 8, 1, 1, 1, 3, b), 0);
  EXPECT_EQ(Sent(), HexBytes("41 50 0000 0000 01 04 08 0001 0001 01 00000003 010203 "
                             "41 50 0000 0000 01 04 08 0001 0001 01 00000003 010204"));
  EXPECT_EQ(EmitSolidColor(emitter_, 2, 4, blue), 0);
  EXPECT_EQ(Sent(), HexBytes("41 4D 02 04 0000FF")) << "after a raster pattern the colour is sent again";
  // The solid mask fill: a transparent second colour and the 8 x 8 mask.
  EXPECT_EQ(EmitSolidMaskPattern(emitter_, 2, 0x112233), 0);
  EXPECT_EQ(Sent(), HexBytes("41 4F 0000 0000 02 04 112233 01 0008 0008 BBBBEEEEBBBBEEEE 01 04 332211"));
  // Origins beyond 16 bits take the real form.
  const BYTE light[] = {0xFF};
  EXPECT_EQ(EmitHatchPattern(emitter_, 40000, 0, 1, 3, 0x22, light), 0);
  EXPECT_EQ(Sent(), HexBytes("41 6E 471C4000 00000000 01 03 FF 22 01 04 332211"));
}

TEST_F(EmitterTest, GeometryForms) {
  EXPECT_EQ(EmitMovePoint(emitter_, 0x10, 0x20), 0);
  EXPECT_EQ(Sent(), HexBytes("42 42 0001 0002"));
  EXPECT_EQ(EmitMovePoint(emitter_, 0x18, 0x20), 0);
  EXPECT_EQ(Sent(), HexBytes("42 62 3FC00000 40000000"));
  EXPECT_EQ(EmitMovePoint(emitter_, 0x80000, 0), 0);
  EXPECT_EQ(Sent(), HexBytes("42 62 47000000 00000000"));
  const RecordPoint whole[] = {{0x10, 0x20}, {-0x30, 0}};
  EXPECT_EQ(EmitLinePath(emitter_, 2, whole), 0);
  EXPECT_EQ(Sent(), HexBytes("42 50 0002 0001 0002 FFFD 0000"));
  const RecordPoint half[] = {{0x10, 0x20}, {0x8, 0}};
  EXPECT_EQ(EmitLinePath(emitter_, 2, half), 0);
  EXPECT_EQ(Sent(), HexBytes("42 70 0002 3F800000 40000000 3F000000 00000000"));
  EXPECT_EQ(EmitRectangle(emitter_, 0x10, 0x20, 0x30, 0x40), 0);
  EXPECT_EQ(Sent(), HexBytes("43 47 0001 0002 0003 0004"));
  EXPECT_EQ(EmitRectangle(emitter_, 0x10, 0x20, 0x30, 0x48), 0);
  EXPECT_EQ(Sent(), HexBytes("43 67 3F800000 40000000 40400000 40900000"));
  EXPECT_EQ(EmitDeviceRectangle(emitter_, 1, 2, 3, 4), 0);
  EXPECT_EQ(Sent(), HexBytes("43 47 0001 0002 0003 0004"));
  // A corner beyond 16 bits, first or second, takes the long form.
  EXPECT_EQ(EmitDeviceRectangle(emitter_, 1, 2, 0x12345, 4), 0);
  EXPECT_EQ(Sent(), HexBytes("43 67 3F800000 40000000 4791A280 40800000"));
  EXPECT_EQ(EmitRectangleClip(emitter_, 40000, 2, 3, 4), 0);
  EXPECT_EQ(Sent(), HexBytes("41 62 471C4000 40000000 40400000 40800000"));
  EXPECT_EQ(EmitRectangleClip(emitter_, 0, 0, 40000, 100), 0);
  EXPECT_EQ(Sent(), HexBytes("41 62 00000000 00000000 471C4000 42C80000"));
  EXPECT_EQ(EmitStartJob(emitter_, 2, 1, 0, 2, 0), 0);
  EXPECT_EQ(Sent(), HexBytes("45 41 90 0002 0000"));
  EXPECT_EQ(WriteEmitterComment(emitter_, 3, "abc"), 0);
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
