// KeyedList: front insertion, insertion-order positions, searches by key and sub key.
#include <gtest/gtest.h>

#include "core/common/keyed_list.h"
#include "tests/support/sandbox_test.h"

namespace {

class KeyedListTest : public SandboxTest {
 protected:
  int first = 1, second = 2, third = 3, fourth = 4;
  KeyedList* list = nullptr;

  void SetUp() override {
    SandboxTest::SetUp();
    list = CreateKeyedList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(KeyedListPushFront(list, 10, 1, &first), 1);
    ASSERT_EQ(KeyedListPushFront(list, 20, 2, &second), 1);
    ASSERT_EQ(KeyedListPushFront(list, 10, 3, &third), 1);
  }
  void TearDown() override {
    EXPECT_EQ(FreeKeyedList(&list), 1);
    EXPECT_EQ(list, nullptr);
    SandboxTest::TearDown();
  }
};

TEST_F(KeyedListTest, PositionsCountInInsertionOrder) {
  EXPECT_EQ(KeyedListCount(list), 3);
  EXPECT_EQ(KeyedListNth(list, 0), &first);
  EXPECT_EQ(KeyedListNth(list, 2), &third);
  EXPECT_EQ(KeyedListNth(list, 3), nullptr);
  EXPECT_EQ(KeyedListNth(list, -1), nullptr);

  KeyedListNode* iterator = nullptr;
  EXPECT_EQ(KeyedListFirst(list, &iterator), &third);
  EXPECT_EQ(KeyedListNext(iterator, &iterator), &second);
  EXPECT_EQ(KeyedListNext(iterator, &iterator), &first);
  EXPECT_EQ(iterator, nullptr);
  EXPECT_EQ(KeyedListNext(iterator, &iterator), nullptr);

  EXPECT_EQ(KeyedListInsertAt(list, 3, 40, 0, &fourth), 0) << "the count is not a position";
  ASSERT_EQ(KeyedListInsertAt(list, 1, 40, 0, &fourth), 1);
  int* expected[] = {&first, &fourth, &second, &third};
  for (LONG i = 0; i < 4; ++i) EXPECT_EQ(KeyedListNth(list, i), expected[i]) << i;

  EXPECT_EQ(KeyedListRemoveAt(list, 4), 0);
  ASSERT_EQ(KeyedListRemoveAt(list, 0), 1);
  EXPECT_EQ(KeyedListNth(list, 0), &fourth);
  EXPECT_EQ(KeyedListCount(list), 3);
  EXPECT_EQ(KeyedListHead(list)->data, &third);
}

TEST_F(KeyedListTest, SearchesBySubKeyOrAny) {
  EXPECT_EQ(KeyedListFindData(list, 10, kAnySubKey), &third) << "the front-most node with the key";
  EXPECT_EQ(KeyedListFindData(list, 10, 1), &first);
  EXPECT_EQ(KeyedListFindData(list, 10, 2), nullptr);
  KeyedListNode* previous = nullptr;
  KeyedListNode* node = KeyedListFindNode(list, &previous, 2, 20);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(previous->data, &third);

  EXPECT_EQ(KeyedListRemove(list, 10, kAnySubKey), 1);
  EXPECT_EQ(KeyedListFindData(list, 10, kAnySubKey), &first);
  EXPECT_EQ(KeyedListRemove(list, 30, kAnySubKey), 0);
  EXPECT_EQ(KeyedListCount(list), 2);
}

TEST(KeyedListEdges, MissingListsAndData) {
  int value = 0;
  EXPECT_EQ(KeyedListCount(nullptr), -1);
  EXPECT_EQ(KeyedListPushFront(nullptr, 0, 0, &value), 0);
  KeyedList* list = CreateKeyedList();
  EXPECT_EQ(KeyedListPushFront(list, 0, 0xFFFF, nullptr), 0);
  EXPECT_EQ(KeyedListCount(list), 0);
  KeyedListNode* iterator = reinterpret_cast<KeyedListNode*>(&value);
  EXPECT_EQ(KeyedListFirst(list, &iterator), nullptr);
  EXPECT_EQ(iterator, reinterpret_cast<KeyedListNode*>(&value)) << "the iterator is not set for an empty list";
  EXPECT_EQ(FreeKeyedList(&list), 1);
  EXPECT_EQ(FreeKeyedList(&list), 1) << "an already freed list";
  EXPECT_EQ(FreeKeyedList(nullptr), 0);
}

}  // namespace
