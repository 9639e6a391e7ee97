// RecordArray: reserving, growing with the contents kept, element access within the capacity.
#include <gtest/gtest.h>

#include "graphics/output/record_array.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

class RecordArrays : public GraphicsModuleTest {};

TEST_F(RecordArrays, ElementsSurviveGrowth) {
  RecordArray array;
  ASSERT_EQ(InitRecordArray(&array), 0);
  EXPECT_EQ(GetArrayCapacity(&array), 0);
  ASSERT_EQ(ReserveBuffer(&array, 12, 2), 0);
  EXPECT_EQ(GetArrayCapacity(&array), 2);
  EXPECT_EQ(GetArrayElementSize(&array), 12);
  const DWORD first[3] = {1, 2, 3}, second[3] = {4, 5, 6};
  DWORD out[3] = {9, 9, 9};
  EXPECT_EQ(GetArrayElement(&array, 1, out), 0);
  EXPECT_EQ(out[0], 0u) << "zero-filled";
  EXPECT_EQ(PutArrayElement(&array, 0, first), 0);
  EXPECT_EQ(PutArrayElement(&array, 1, second), 0);
  EXPECT_EQ(PutArrayElement(&array, 2, second), -1) << "beyond the capacity";
  ASSERT_EQ(GrowRecordArray(&array), 0);
  EXPECT_EQ(GetArrayCapacity(&array), 4);
  EXPECT_EQ(PutArrayElement(&array, 3, first), 0);
  EXPECT_EQ(GetArrayElement(&array, 1, out), 0);
  EXPECT_EQ(out[2], 6u);
  EXPECT_EQ(GetArrayElement(&array, 2, out), 0);
  EXPECT_EQ(out[0], 0u);
  EXPECT_EQ(ClearArrayElement(&array, 1, 0xFF), 0);
  EXPECT_EQ(GetArrayElement(&array, 1, out), 0);
  EXPECT_EQ(out[1], 0xFFFFFFFFu);
  EXPECT_EQ(ClearArrayElement(&array, 4, 0), -1) << "index equal to the capacity";
  EXPECT_EQ(GetArrayElement(&array, 4, out), -1);

  // No memory: growth changes nothing.
  SimFailNthAllocation(1);
  EXPECT_EQ(GrowRecordArray(&array), -1);
  EXPECT_EQ(GetArrayCapacity(&array), 4);
  EXPECT_EQ(GetArrayElement(&array, 3, out), 0);
  EXPECT_EQ(out[0], 1u);
  EXPECT_EQ(FreeBuffer(&array), 0);
  EXPECT_EQ(GetArrayCapacity(&array), 0);
}

TEST_F(RecordArrays, RefusedReservationsLeaveTheArrayEmpty) {
  RecordArray array;
  InitRecordArray(&array);
  EXPECT_EQ(ReserveBuffer(&array, 0, 5), -1);
  EXPECT_EQ(ReserveBuffer(&array, 5, 0), -1);
  SimFailNthAllocation(1);
  EXPECT_EQ(ReserveBuffer(&array, 4, 4), -1);
  EXPECT_EQ(GetArrayCapacity(&array), 0);
  EXPECT_EQ(GrowRecordArray(&array), -1);
  // Growth stops where the 16-bit capacity would wrap.
  ASSERT_EQ(ReserveBuffer(&array, 1, 40000), 0);
  EXPECT_EQ(GrowRecordArray(&array), -1);
  EXPECT_EQ(GetArrayCapacity(&array), 40000);
  FreeBuffer(&array);
  EXPECT_EQ(InitRecordArray(nullptr), -1);
  EXPECT_EQ(FreeBuffer(nullptr), -1);
}

}  // namespace
