// The lookup-table resource reader fed hand-made resources, sound and broken.
#include "screening/dlut_resource.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

void AppendDword(Bytes& b, DWORD v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(v >> (8 * i)));
}

void PatchDword(Bytes& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<BYTE>(v >> (8 * i));
}

Bytes Item(const Bytes& data, const char* magic = "dlt4") {
  Bytes item(magic, magic + 4);
  AppendDword(item, 0x01020304);  // the four further bytes the reader skips
  item.insert(item.end(), data.begin(), data.end());
  return item;
}

struct Dlut {
  Bytes bytes;
  std::vector<size_t> itemOffsets;
};

// "DLUT", the offset list, the item-number list, then the items one after another.
Dlut BuildDlut(const std::vector<Bytes>& items, const std::vector<DWORD>& numbers, const char* magic = "DLUT") {
  Dlut d;
  d.bytes.assign(magic, magic + 4);
  AppendDword(d.bytes, static_cast<DWORD>(items.size()));
  size_t at = 8 + 4 * items.size() + 4 + 4 * numbers.size();
  for (const Bytes& item : items) {
    d.itemOffsets.push_back(at);
    AppendDword(d.bytes, static_cast<DWORD>(at));
    at += item.size();
  }
  AppendDword(d.bytes, static_cast<DWORD>(numbers.size()));
  for (DWORD n : numbers) AppendDword(d.bytes, n);
  for (const Bytes& item : items) d.bytes.insert(d.bytes.end(), item.begin(), item.end());
  return d;
}

// An exact-size heap copy, so that any read past the end is caught by the address sanitizer.
struct ExactCopy {
  explicit ExactCopy(const Bytes& b, size_t size) : data(new BYTE[size ? size : 1]), size(size) {
    std::memcpy(data.get(), b.data(), size);
  }
  std::span<const BYTE> Span() const { return {data.get(), size}; }
  std::unique_ptr<BYTE[]> data;
  size_t size;
};

const std::vector<Bytes> kItems = {Item({0xA1, 0xA2}), Item({0xB1}), Item({0xC1, 0xC2, 0xC3})};
const std::vector<DWORD> kNumbers = {2, 1, 3, 2};

TEST(DlutResource, IndexPicksItemThroughTheNumberListAndAnswersItsData) {
  const Dlut d = BuildDlut(kItems, kNumbers);
  const ExactCopy copy(d.bytes, d.bytes.size());
  for (INT index = 0; index < static_cast<INT>(kNumbers.size()); ++index) {
    const size_t item = kNumbers[index] - 1;
    const BYTE* data = screening::FindDlutItem(copy.Span(), index);
    ASSERT_EQ(data, copy.data.get() + d.itemOffsets[item] + 8) << "index " << index;
    EXPECT_EQ(data[0], kItems[item][8]);
  }
}

TEST(DlutResource, OutOfRangeIndexesAndItemNumbersAnswerNull) {
  const Dlut d = BuildDlut(kItems, {0, 4, 3, 0xFFFFFFFF});
  const ExactCopy copy(d.bytes, d.bytes.size());
  EXPECT_EQ(screening::FindDlutItem(copy.Span(), 0), nullptr) << "item number 0";
  EXPECT_EQ(screening::FindDlutItem(copy.Span(), 1), nullptr) << "item number beyond the offset list";
  EXPECT_NE(screening::FindDlutItem(copy.Span(), 2), nullptr) << "item number 3 is the last one";
  EXPECT_EQ(screening::FindDlutItem(copy.Span(), 3), nullptr) << "item number 0xFFFFFFFF";
  for (INT index : {4, 5, INT_MAX, -1, INT_MIN})
    EXPECT_EQ(screening::FindDlutItem(copy.Span(), index), nullptr) << "index " << index;
}

TEST(DlutResource, WrongMagicAnswersNull) {
  const Dlut badHeader = BuildDlut(kItems, kNumbers, "DLUX");
  EXPECT_EQ(screening::FindDlutItem(ExactCopy(badHeader.bytes, badHeader.bytes.size()).Span(), 0), nullptr);
  const Dlut badItem = BuildDlut({Item({1}), Item({2}, "dlt3")}, {1, 2});
  const ExactCopy copy(badItem.bytes, badItem.bytes.size());
  EXPECT_NE(screening::FindDlutItem(copy.Span(), 0), nullptr);
  EXPECT_EQ(screening::FindDlutItem(copy.Span(), 1), nullptr);
  EXPECT_EQ(screening::FindDlutItem({}, 0), nullptr) << "no resource";
}

// Counts and offsets that reach past the resource are refused, never followed.
TEST(DlutResource, CountsAndOffsetsBeyondTheResourceAnswerNull) {
  const Dlut d = BuildDlut(kItems, kNumbers);
  const size_t count2At = 8 + 4 * kItems.size();
  struct Case {
    const char* what;
    size_t at;
    DWORD value;
  };
  const Case cases[] = {
      {"count1 beyond the resource", 4, 0x40000000},
      {"count1 that wraps 32-bit arithmetic", 4, 0xFFFFFFFF},
      {"count2 beyond the resource", count2At, 0x40000000},
      {"count2 that wraps 32-bit arithmetic", count2At, 0xFFFFFFFF},
      {"item offset beyond the resource", 8 + 4 * 1, static_cast<DWORD>(d.bytes.size())},
      {"item offset that wraps 32-bit arithmetic", 8 + 4 * 1, 0xFFFFFFFC},
      {"item with a header and no data", 8 + 4 * 1, static_cast<DWORD>(d.bytes.size() - 8)},
  };
  for (const Case& c : cases) {
    Bytes broken = d.bytes;
    PatchDword(broken, c.at, c.value);
    const ExactCopy copy(broken, broken.size());
    EXPECT_EQ(screening::FindDlutItem(copy.Span(), 0), nullptr) << c.what;  // index 0 names item 2
  }
}

// Every prefix of a sound resource either answers null or data inside the prefix.
TEST(DlutResource, TruncatedResourcesNeverReadPastTheirEnd) {
  const Dlut d = BuildDlut(kItems, kNumbers);
  for (size_t size = 0; size < d.bytes.size(); ++size) {
    const ExactCopy copy(d.bytes, size);
    for (INT index = 0; index < static_cast<INT>(kNumbers.size()); ++index) {
      const BYTE* data = screening::FindDlutItem(copy.Span(), index);
      if (data) {
        EXPECT_LT(data, copy.data.get() + size) << "size " << size << " index " << index;
        EXPECT_EQ(data, copy.data.get() + d.itemOffsets[kNumbers[index] - 1] + 8);
      }
    }
  }
  const ExactCopy headerOnly(d.bytes, 8 + 4 * kItems.size() + 4 + 4 * kNumbers.size());
  EXPECT_EQ(screening::FindDlutItem(headerOnly.Span(), 0), nullptr) << "lists present, items cut off";
}

}  // namespace
