// Bad input: truncated files, counts larger than the bytes present and offsets that point
// elsewhere get the layer's failure codes, allocate nothing that stays and never read outside
// the file (the sanitizer build checks the last part).
#include <cstring>
#include <functional>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/database_fixture.h"

namespace {

const char* const kModel =
    "model \"C\"\nversion \"T:1.0.0\"\nlevel 0x1600\n"
    "section 3 [1 2]\nsection 4 99\nsection 13 \"profile\"\n"
    "sizerange 1 first=100x200 second=300x400\n"
    "paper 9 name=\"A4\" size=1 limits=1 margins=1\n"
    "source 1 name=\"Tray\" range=1 papers=[9 9] attributes=[0 1]\n"
    "list 8 name=\"Paper\" choices=[1]\n"
    "choice 1 name=\"A4\" reftype=10 refkey=9 value=i16:9\n"
    "font 1 name=\"F\" data=hex:01020304\n"
    "picture 1 kind=1 width=1 height=1 bitmap=hex:0000000000000000000000000000aabb\n"
    "array 1 type=3 size=2 values=[1 2 3]\n"
    "choice 2 value=l32:5\n";

// Reads everything the database holds; answers the statuses seen.
std::vector<WORD> ReadEverything(DatabaseStream* main, DatabaseStream* linked) {
  std::vector<WORD> seen;
  for (DWORD id = 0; id <= DDD_SECTION_COUNT; ++id) {
    ReadSectionValue(main, id, 2, 0);
    LPWSTR text = nullptr;
    seen.push_back(ReadSectionString(main, id, 0, &text));
    ReleaseGlobalBlock(text);
    WORD count = 0;
    BYTE* block = nullptr;
    seen.push_back(ReadSectionBytes(main, id, 2, &count, &block));
    ReleaseGlobalBlock(block);
  }
  for (WORD type : DDD_DIRECTORY_TYPES) {
    WORD rows = CountRecords(main, type);
    for (WORD n = 1; n <= rows + 1; ++n) {
      for (BOOL withData : {FALSE, TRUE}) {
        DatabaseRecord* record = nullptr;
        seen.push_back(ReadRecord(withData, main, linked, type, n, &record));
        if (record) {
          DatabaseRecord* keyed = nullptr;
          seen.push_back(ReadKeyedRecord(withData, main, linked, type, record->h.key, 1, &keyed));
          FreeRecord(&keyed, kDbAnyType);
          FreeRecord(&record, kDbAnyType);
        }
      }
    }
  }
  return seen;
}

class DatabaseCorrupt : public DatabaseTest {
 public:
  // Offset of the n-th record of a type in the file that holds it.
  DWORD RecordOffset(const DddImage& image, WORD type, WORD n) {
    DatabaseStream m = {}, l = {};
    EXPECT_EQ(OpenDescriptionDatabase(Install(image, u"PROBE.DDD").c_str(), 0, &m, &l), kDbOk);
    WORD database = 0;
    EXPECT_EQ(SeekRecord(kDbByPosition, &m, &l, kDbDirectoryMain, type, n, &database), kDbOk);
    DWORD offset = m.cursor;
    CloseDatabaseStreams(&m, &l);
    return offset;
  }
  // Offset of the type-table row of a record (its u32 offset is at +3).
  DWORD TableRowOffset(const DddImage& image, WORD type, WORD n) {
    DatabaseStream m = {}, l = {};
    EXPECT_EQ(OpenDescriptionDatabase(Install(image, u"PROBE.DDD").c_str(), 0, &m, &l), kDbOk);
    WORD rows = 0;
    EXPECT_EQ(LocateTypeTable(&m, type, &rows), kDbOk);
    DWORD offset = m.cursor + (n - 1) * DDD_TYPETABLE_ROW_SIZE;
    CloseDatabaseStreams(&m, &l);
    return offset;
  }
  static void Put16(DddImage& image, DWORD at, WORD v) {
    image.main[at] = static_cast<BYTE>(v);
    image.main[at + 1] = static_cast<BYTE>(v >> 8);
  }
  static void Put32(DddImage& image, DWORD at, DWORD v) {
    for (int i = 0; i < 4; ++i) image.main[at + i] = static_cast<BYTE>(v >> (8 * i));
  }
};

TEST_F(DatabaseCorrupt, EveryTruncationFailsCleanly) {
  DddImage image = Build(kModel);
  // Every length through the header and the sections, then every third one.
  for (std::size_t size = 0; size < image.main.size(); size += size < 320 ? 1 : 3) {
    DddImage cut = image;
    cut.main.resize(size);
    WORD status = Open(Install(cut, u"CUT.DDD"));
    ASSERT_TRUE(status == kDbOk || status == kDbFailed) << size;
    if (status == kDbOk) {
      for (WORD s : ReadEverything(&main_, &linked_)) ASSERT_NE(s, kDbNoMemory) << size;
      // The last record (the array) lies at the end of the file: cut, it fails.
      DatabaseRecord* last = nullptr;
      EXPECT_NE(ReadRecord(TRUE, &main_, &linked_, 20, 1, &last), kDbOk) << size;
      FreeRecord(&last, kDbAnyType);
    }
    CloseDatabaseStreams(&main_, &linked_);
  }
}

struct Corruption {
  const char* what;
  std::function<void(DatabaseCorrupt&, DddImage&)> patch;
  WORD type;  // the record read afterwards (by position 1, with data); 0: section 4 instead
  WORD expected;
};

TEST_F(DatabaseCorrupt, OversizedCountsAndWrongOffsetsGetTheFailureCodes) {
  const DddImage good = Build(kModel);
  const Corruption cases[] = {
      {"section 3 count beyond the file", [](DatabaseCorrupt&, DddImage& i) { Put16(i, 234, 0xFFFF); }, 0, kDbFailed},
      {"directory distance beyond the file", [](DatabaseCorrupt&, DddImage& i) { Put32(i, 224, 0x7FFFFF00); }, 10, kDbFailed},
      {"type table offset beyond the file",
       [](DatabaseCorrupt&, DddImage& i) {
         DWORD dir = DDD_DIRECTORY_BASE + (i.main[224] | (i.main[225] << 8) | (i.main[226] << 16));
         Put32(i, dir + DDD_DIRECTORY_PREFIX + FindDirectoryRow(10) * DDD_DIRECTORY_ROW_SIZE + DDD_DIRECTORY_ROW_SPARE, 0xFFFFFFF0);
       },
       10, kDbFailed},
      {"type table row count beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put16(i, t.TableRowOffset(i, 10, 1) - 2, 0xFFFF); }, 10, kDbFailed},
      {"record offset beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put32(i, t.TableRowOffset(i, 10, 1) + 3, 0x7FFFFFF0); }, 10, kDbFailed},
      {"record length beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put32(i, t.RecordOffset(i, 10, 1), 0xFFFFFFFF); }, 10, kDbFailed},
      {"record length shorter than its fields",
       [](DatabaseCorrupt& t, DddImage& i) {
         DWORD at = t.RecordOffset(i, 10, 1);
         Put32(i, at, (i.main[at] | (i.main[at + 1] << 8)) - 1);
       },
       10, kDbFailed},
      {"text count beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put16(i, t.RecordOffset(i, 10, 1) + 6, 0xFFFF); }, 10, kDbFailed},
      // Source: u32 length, key, name "Tray" (2 + 4), range, code, then the papers list.
      {"list length beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put32(i, t.RecordOffset(i, 5, 1) + 16, 0x7FFFFFFF); }, 5, kDbFailed},
      {"list count beyond its length",
       [](DatabaseCorrupt& t, DddImage& i) { Put16(i, t.RecordOffset(i, 5, 1) + 20, 0xFFFF); }, 5, kDbFailed},
      {"size range that does not exist",
       [](DatabaseCorrupt& t, DddImage& i) { Put16(i, t.RecordOffset(i, 5, 1) + 12, 77); }, 5, kDbAbsent},
      // Array: u32, key, u16, u8 type, u16 size, u32, then the count.
      {"array count beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put16(i, t.RecordOffset(i, 20, 1) + 6 + 9, 0xFFFF); }, 20, kDbFailed},
      // Font: u32, key, name "F" (2 + 1), name2 (2), two counted lists (2 + 2), skipped (2), data size.
      {"font data beyond the file",
       [](DatabaseCorrupt& t, DddImage& i) { Put32(i, t.RecordOffset(i, 11, 1) + 6 + 3 + 2 + 4 + 2, 0x7FFFFFFF); }, 11, kDbFailed},
      // Picture: u32, key, kind, width, height, skipped (2), size.
      {"picture smaller than its file header",
       [](DatabaseCorrupt& t, DddImage& i) {
         Put32(i, t.RecordOffset(i, 12, 1) + 6 + 1 + 4 + 2, 5);
       },
       12, kDbFailed},
      {"picture kind other than 1 or 2", [](DatabaseCorrupt& t, DddImage& i) { i.main[t.RecordOffset(i, 12, 1) + 6] = 3; }, 12,
       kDbFailed},
      // Choice 2: u32, key, name (2), reftype, refkey, range, two empty lists (6 each), then
      // its value: type 10 with a length other than 4.
      {"type-10 value of two bytes",
       [](DatabaseCorrupt& t, DddImage& i) { Put16(i, t.RecordOffset(i, 14, 2) + 6 + 2 + 6 + 12 + 1, 2); }, 14, kDbFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DddImage bad = good;
    c.patch(*this, bad);
    ASSERT_EQ(Open(Install(bad, u"BAD.DDD")), kDbOk);
    if (c.type == 0) {
      EXPECT_EQ(ReadSectionValue(&main_, 4, 2, 0), 0u);
      EXPECT_EQ(GetSectionCount(&main_, 13), 0);
      LPWSTR text = nullptr;
      EXPECT_EQ(ReadSectionString(&main_, 13, 0, &text), c.expected);
    } else {
      WORD position = c.type == 14 ? 2 : 1;
      DatabaseRecord* record = nullptr;
      EXPECT_EQ(ReadRecord(TRUE, &main_, &linked_, c.type, position, &record), c.expected);
      EXPECT_EQ(record, nullptr);
    }
    ReadEverything(&main_, &linked_);
    CloseDatabaseStreams(&main_, &linked_);
  }
}

TEST_F(DatabaseCorrupt, PictureReadWithoutDataIgnoresItsBytes) {
  DddImage image = Build(kModel);
  ASSERT_EQ(Open(Install(image)), kDbOk);
  RecordHolder picture;
  ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 12, 1, &picture.record), kDbOk);
  EXPECT_EQ(picture.As<PictureRecord>()->dataSize, 2u);
  EXPECT_EQ(picture.As<PictureRecord>()->data[1], 0xbb);
  FreeRecord(&picture.record, kDbAnyType);
  ASSERT_EQ(ReadRecord(FALSE, &main_, &linked_, 12, 1, &picture.record), kDbOk);
  EXPECT_EQ(picture.As<PictureRecord>()->data, nullptr);
}

TEST_F(DatabaseCorrupt, FailedAllocationsLeaveNothingBehind) {
  ASSERT_EQ(Open(Install(Build(kModel))), kDbOk);
  RecordHolder warm;  // the pool keeps its scratch buffers between reads
  ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 5, 1, &warm.record), kDbOk);
  FreeRecord(&warm.record, kDbAnyType);
  int before = SimLiveGlobalBlocks();
  for (int n = 1; n < 12; ++n) {
    SimFailNthAllocation(n);
    DatabaseRecord* record = nullptr;
    WORD status = ReadRecord(TRUE, &main_, &linked_, 5, 1, &record);
    SimFailNthAllocation(0);
    EXPECT_TRUE(status == kDbOk || status == kDbNoMemory) << n;
    if (status != kDbOk) {

      EXPECT_EQ(record, nullptr);

    }
    FreeRecord(&record, kDbAnyType);
    EXPECT_EQ(SimLiveGlobalBlocks(), before) << n;
  }
}

}  // namespace
