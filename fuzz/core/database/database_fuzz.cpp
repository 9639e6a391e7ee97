// Fuzz target: opening a description database and its linked database and reading everything
// they hold. Input: a u32 (little-endian) byte count of the main file, the main file, then the
// linked database (written under the name the main header gives, when it is a plain name).
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "core/database/dbrecords.h"
#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"

namespace {

constexpr WORD MAX_ROWS_PER_TYPE = 64;  // keeps each input fast; rows beyond add nothing new

void WriteFile(const std::u16string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(SimHostPath(path.c_str()), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The linked name of the header when it is a plain file name.
std::u16string LinkedName(const std::uint8_t* main, std::size_t size) {
  if (size < DDD_HEADER_SIZE) return u"";
  std::u16string name;
  for (std::uint32_t i = 0; i < DDD_HEADER_TEXT_SIZE; ++i) {
    char c = static_cast<char>(main[DDD_LINKED_NAME_OFFSET + i]);
    if (!c) break;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-') return u"";
    name += static_cast<char16_t>(c);
  }
  if (name == u"." || name == u"..") return u"";
  return name;
}

void ReadValues(StoredValue& v, DatabaseStream* stream) {
  if (v.type == DDD_VALUE_REFERENCE) LoadReferencedValue(&v, stream);
}

void ReadRecordFields(DatabaseStream* main, DatabaseStream* linked, DatabaseRecord* r) {
  SizePairElement a{}, b{};
  KeyElement k{};
  WORD w = 0, len = 0, item = 0;
  BYTE t = 0;
  LPCWSTR text = nullptr;
  const void* value = nullptr;
  const BYTE* data = nullptr;
  DWORD size = 0;
  GetRecordName(r);
  GetVersionGatedField(r, &w);
  GetSourceMinCustomSize(r, &a);
  GetSourcePaperEntry(r, 1, &k);
  GetSourceEntryAttribute(r, 1, &w);
  GetPaperRecordMargins(r, &a, &b);
  GetFontRecordText(r, 1, &text);
  GetFontRecordInfo(r, &data, &size);
  if (GetPairListCount(r, &w) == kDbOk)
    for (WORD n = 1; n <= w; ++n) GetPairListEntry(r, n, &len, &t, &value);
  if (GetType21Count(r, &w) == kDbOk)
    for (WORD n = 1; n <= w; ++n) GetType21Entry(r, n, &item, &len, &t, &value);
  GetNameListEntry(r, 1, &text);
  GetType19Value(r, &t);
  switch (r->h.type) {
    case 7: case 8: {
      auto* c = reinterpret_cast<ConstraintRecord*>(r);
      ReadValues(c->watch.value, r->h.stream);
      for (WORD i = 0; i < c->conditions.count; ++i) ReadValues(c->conditions.items[i].test.value, r->h.stream);
      break;
    }
    case 9: {
      BYTE* picture = nullptr;
      WORD width = 0, height = 0;
      if (ReadPictureOfRecord(main, linked, r, &width, &height, &picture, &size) == kDbOk) ReleaseGlobalBlock(picture);
      break;
    }
    case 3: case 4: case 13: case 14: {
      DataBlock* block = nullptr;
      if (ReadDataBlockOfRecord(main, linked, r, &block) == kDbOk) {
        DatabaseRecord* asRecord = reinterpret_cast<DatabaseRecord*>(block);
        FreeRecord(&asRecord, kDbAnyType);
      }
      if (r->h.type >= 13) ReadValues(reinterpret_cast<ChoiceEntryRecord*>(r)->value, r->h.stream);
      break;
    }
    default: break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    SimSetAnsiCodePage(1252);
    return CreateDirectoryW(u"C:\\fuzz", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  }();
  if (!ready || size < 4) return 0;
  std::size_t mainSize = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::size_t>(data[3]) << 24);
  if (mainSize > size - 4) mainSize = size - 4;
  const std::uint8_t* main = data + 4;
  WriteFile(u"C:\\fuzz\\F.DDD", main, mainSize);
  std::u16string linkedName = LinkedName(main, mainSize);
  if (!linkedName.empty()) WriteFile(u"C:\\fuzz\\" + linkedName, main + mainSize, size - 4 - mainSize);

  DatabaseStream m = {}, l = {};
  if (OpenDescriptionDatabase(u"C:\\fuzz\\F.DDD", 0, &m, &l) == kDbOk) {
    DatabaseRecord* header = nullptr;
    if (ReadDatabaseHeader(&m, &header) == kDbOk) FreeRecord(&header, kDbAnyType);
    for (DWORD id = 0; id <= DDD_SECTION_COUNT; ++id) {
      WORD count = GetSectionCount(&m, id);
      ReadSectionValue(&m, id, 4, static_cast<WORD>(count ? count - 1 : 0));
      for (WORD i = 0; i < count && i < 8; ++i) ReleaseGlobalBlock(ReadSectionStringOrNull(&m, id, i));
      BYTE* block = nullptr;
      if (ReadSectionBytes(&m, id, 2, &count, &block) == kDbOk) ReleaseGlobalBlock(block);
    }
    for (WORD kind = 0; kind < kDbHeaderTextKinds; ++kind) {
      LPWSTR text = nullptr;
      ReadHeaderText(&m, kind, &text);
      ReleaseGlobalBlock(text);
    }
    WORD w = 0, h = 0;
    DWORD pictureSize = 0;
    ReleaseGlobalBlock(ReadModelPictureRecord(&m, &l, &w, &h, &pictureSize));
    for (WORD type : DDD_DIRECTORY_TYPES) {
      WORD rows = CountRecords(&m, type);
      for (WORD n = 1; n <= rows && n <= MAX_ROWS_PER_TYPE; ++n) {
        for (BOOL withData : {FALSE, TRUE}) {
          DatabaseRecord* record = nullptr;
          if (ReadRecord(withData, &m, &l, type, n, &record) != kDbOk) continue;
          ReadRecordFields(&m, &l, record);
          DatabaseRecord* keyed = nullptr;
          if (ReadKeyedRecord(withData, &m, &l, type, record->h.key, withData ? 1 : 0, &keyed) == kDbOk)
            FreeRecord(&keyed, kDbAnyType);
          FreeRecord(&record, kDbAnyType);
        }
      }
    }
    CloseDatabaseStreams(&m, &l);
  }
  DeleteFileW(u"C:\\fuzz\\F.DDD");
  if (!linkedName.empty()) DeleteFileW((u"C:\\fuzz\\" + linkedName).c_str());
  return 0;
}
