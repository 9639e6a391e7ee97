#include "graphics/ddi/direct_mode.h"

#include <cstring>

#include "core/database/database.h"
#include "graphics/ddi/escape_results.h"
#include "graphics/device/pdev.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/job/job_control.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DirectModeFeature kFeatures[] = {
    {4353, 4209, 0x3000000, 15, 0xFF00, 0xFF00}, {4354, 4210, 0x3000000, 0, 0, 0},
    {4355, 4211, 0x3010000, 31, 0, 0},           {4356, 4212, 0x3000000, 799, 139, 0},
    {4357, 4213, 0x3000000, 0, 0, 0},            {4358, 4215, 0x3000000, 0, 0, 0},
    {4359, 4215, 0x3000000, 0, 0, 0},
};
constexpr WORD kFeatureImage = 4354;
constexpr WORD kFeaturePage = 4355;
constexpr WORD kFeatureQuery = 4356;

constexpr DWORD kSectionColorOverride = 5;
constexpr DWORD kDevModeFieldsOffset = 72;
constexpr DWORD kDmDuplex = 0x1000;
constexpr DWORD kSignature = 0x56515045;  // "EPQV" as bytes in memory
constexpr DWORD kDirectRecordWord = 8;    // first word of the 4209 and 4212 inputs
constexpr DWORD kMaxDataLength = 0xFFFC;

// The sub-codes of 4209, 4211 and 4212.
constexpr WORD kModeOn = 1, kModeOff = 2, kModeFeature = 3, kModeSignature = 25989;
constexpr WORD kPageOverrideOn = 4609, kPageOverrideOff = 4610, kPageMono = 4611, kPageColor = 4612,
               kPageAuto = 4613;
constexpr WORD kQueryDuplex = 4865, kSetDuplex = 4866, kQueryPages = 4867, kSetPages = 4868;
constexpr WORD kDuplexSimplex = 4881, kDuplexLong = 4882, kDuplexShort = 4883, kDuplexNone = 4884;

// Pages-per-sheet counts and the page order (item 264) each override sets with it.
struct PagesOverride {
  WORD pages;
  SHORT order;
};
constexpr PagesOverride kPagesOverrides[] = {{1, 0}, {2, 1}, {4, 3}, {8, 3}, {16, 3}, {32, 3}};

WORD ReadWord(const BYTE* p) {
  WORD v;
  std::memcpy(&v, p, 2);
  return v;
}
DWORD ReadDword(const BYTE* p) {
  DWORD v;
  std::memcpy(&v, p, 4);
  return v;
}

// The {u32 8, u16 sub-code, u16 argument} record of 4209 and 4212: FALSE when the input is
// shorter than the record.
BOOL ReadDirectRecord(ULONG cjIn, const BYTE* in, DWORD* first, WORD* sub, WORD* argument) {
  if (cjIn < 8) return FALSE;
  *first = ReadDword(in);
  *sub = ReadWord(in + 4);
  *argument = ReadWord(in + 6);
  return TRUE;
}

// Query mode of the escapes that need direct mode on: 1 when on, 0 when off, -1 without device.
}  // namespace

LONG AnswerDirectQuery(const Pdev* pdev) {
  if (pdev == nullptr) return kEscBadArgument;
  return pdev->directMode.on ? 1 : 0;
}

void InitDirectModeState(DirectModeState* state, DWORD version, DWORD item4103, DWORD modelFlag) {
  state->on = 0;
  state->version = version;
  state->item4103 = item4103;
  state->modelFlag = modelFlag;
  for (SHORT& o : state->overrides) o = kNoOverride;
  state->duplexOverride = kNoOverride;
  state->colorOverride = kNoColorOverride;
  state->overrideSwitch = 0;
  state->saved = 0;
}

void InitDirectModeDefaults(Pdev* pdev) {
  const DWORD section = ReadSectionValue(pdev->database, kSectionColorOverride, 1, 0);
  if (section == 255) return;
  // The direct mode checks its features against the job's stream version only when the settings
  // say that version applies; else against the first version.
  const DWORD version =
      GetPdevSettingDword(pdev, kItemStreamVersionSet) != 0 ? GetStreamVersion(pdev) : kStreamVersionFirst;
  InitDirectModeState(&pdev->directMode, version, GetPdevSettingDword(pdev, kItemModelOptions), section == 2 ? 1 : 0);
}

int QueryDirectFeature(Pdev* pdev, WORD feature, DirectModeFeature* row) {
  const DirectModeState& s = pdev->directMode;
  const DirectModeFeature* found = nullptr;
  for (const DirectModeFeature& f : kFeatures)
    if (f.feature == feature) found = &f;
  if (found == nullptr) return -1;
  if (s.version < kStreamVersionFirst || s.version > kStreamVersionLast || s.version < found->minimumVersion)
    return -1;
  if (feature == kFeatureImage && GetPdevSettingDword(pdev, kItemJournal) != 0) return -1;
  if (feature == kFeaturePage && s.modelFlag == 0) return -1;
  if (row != nullptr) {
    *row = *found;
    if (feature == kFeatureQuery && s.item4103 == 0) row->flags &= ~0xCu;
  }
  return 0;
}

LONG HandleDirectModeEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query) {
  if (query) return 1;
  if (pdev == nullptr || in == nullptr) return kEscBadArgument;
  DWORD first;
  WORD sub, argument;
  if (!ReadDirectRecord(cjIn, in, &first, &sub, &argument) || first != kDirectRecordWord) return kEscBadSize;
  switch (sub) {
    case kModeOn: pdev->directMode.on = 1; return kEscDone;
    case kModeOff: pdev->directMode.on = 0; return kEscDone;
    case kModeFeature: {
      if (out == nullptr) return kEscBadArgument;
      // The answer record needs its 18 bytes whatever its first word says.
      const bool sized = cjOut == kFeatureAnswerSize || (cjOut >= 4 && ReadDword(out) == kFeatureAnswerSize);
      if (!sized || cjOut < kFeatureAnswerSize) return kEscBadSize;
      DirectModeFeature row;
      if (QueryDirectFeature(pdev, argument, &row) != 0) return kEscUnsupportedFeature;
      std::memcpy(out + 4, &row.escape, 2);
      std::memcpy(out + 6, &row.flags, 4);
      std::memcpy(out + 10, &row.a, 4);
      std::memcpy(out + 14, &row.b, 4);
      return kEscDone;
    }
    case kModeSignature:
      if (out == nullptr || cjOut < 4) return kEscBadArgument;
      std::memcpy(out, &kSignature, 4);
      return kEscDone;
    default: return kEscUnknownSubCode;
  }
}

WORD AcceptImageChunk(DirectModeState* s, const ImageChunk& chunk) {
  if (s->transferId == 0) {
    if (chunk.offset != 0 || chunk.id != 0) return 0;
    s->transferCounter = s->transferCounter >= kMaxTransferId ? 1 : static_cast<WORD>(s->transferCounter + 1);
    s->transferId = s->transferCounter;
    s->received = 0;
    s->expected = chunk.total;
  } else if (chunk.id != s->transferId) {
    s->transferId = 0;
    s->expected = s->received = 0;
    return 0;
  }
  if (chunk.offset != s->received) return 0;
  // Counted in 64 bits: a length near 4 GiB cannot wrap past the total.
  const ULONGLONG received = static_cast<ULONGLONG>(s->received) + chunk.length;
  if (received > s->expected) return 0;
  const WORD id = s->transferId;
  s->received = static_cast<DWORD>(received);
  if (received == s->expected) s->transferId = 0, s->expected = s->received = 0;
  return id;
}

LONG HandleDirectPageEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG, BYTE*, BOOL query) {
  if (query) return AnswerDirectQuery(pdev);
  if (pdev == nullptr || in == nullptr) return kEscBadArgument;
  DirectModeState& s = pdev->directMode;
  if (!s.on || QueryDirectFeature(pdev, kFeaturePage, nullptr) != 0) return kEscUnsupported;
  if (cjIn < 2) return kEscBadSize;
  const WORD sub = ReadWord(in);
  if (sub < kPageOverrideOn || sub > kPageAuto) return kEscUnsupportedFeature;
  const bool started = (pdev->ddiState & kDdiDocStarted) != 0;
  switch (sub) {
    case kPageOverrideOn:
      if (started) return kEscNotAllowedNow;
      s.overrideSwitch = 1;
      s.colorOverride = 0;
      return kEscDone;
    case kPageOverrideOff:
      if (started) return kEscNotAllowedNow;
      s.overrideSwitch = 0;
      return kEscDone;
    default:
      if (!s.overrideSwitch) return kEscNotAllowedNow;
      s.colorOverride = sub == kPageMono ? 1 : sub == kPageColor ? 2 : 0;
      return kEscDone;
  }
}

LONG HandleDirectQueryEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query) {
  if (query) return AnswerDirectQuery(pdev);
  if (pdev == nullptr || in == nullptr) return kEscBadArgument;
  DirectModeState& s = pdev->directMode;
  if (!s.on || QueryDirectFeature(pdev, kFeatureQuery, nullptr) != 0) return kEscUnsupported;
  DWORD first;
  WORD sub, argument;
  if (!ReadDirectRecord(cjIn, in, &first, &sub, &argument) || first != kDirectRecordWord) return kEscBadSize;
  switch (sub) {
    case kQueryDuplex: {
      if (out == nullptr || cjOut < 2) return kEscBadSize;
      const WORD duplex = GetPdevSettingWord(pdev, kItemDuplex);
      if (duplex < 1 || duplex > 3) return kEscBadArgument;
      const WORD answer = static_cast<WORD>(kDuplexSimplex + duplex - 1);
      std::memcpy(out, &answer, 2);
      return kEscDone;
    }
    case kSetDuplex: {
      const bool duplexField = (ReadDword(pdev->settings.bytes + kDevModeFieldsOffset) & kDmDuplex) != 0;
      switch (argument) {
        case kDuplexSimplex: s.duplexOverride = 1; return kEscDone;
        case kDuplexLong:
        case kDuplexShort:
          if (!duplexField) return kEscNotAllowedNow;
          s.duplexOverride = argument == kDuplexLong ? 2 : 3;
          return kEscDone;
        case kDuplexNone: s.duplexOverride = kNoOverride; return kEscDone;
        default: return kEscUnknownArgument;
      }
    }
    case kQueryPages: {
      if (out == nullptr || cjOut < 2) return kEscBadSize;
      WORD answer = 0;
      if (GetPdevSettingWord(pdev, kItemPageLayout) == 0) {
        answer = GetPdevSettingWord(pdev, kItemPagesPerSheet);
        bool known = false;
        for (const PagesOverride& p : kPagesOverrides) known = known || p.pages == answer;
        if (!known) return kEscBadArgument;
      }
      std::memcpy(out, &answer, 2);
      return kEscDone;
    }
    case kSetPages: {
      if (argument == 0) {
        for (SHORT& o : s.overrides) o = kNoOverride;
        return kEscDone;
      }
      for (const PagesOverride& p : kPagesOverrides) {
        if (p.pages != argument) continue;
        // Items 295, 264, 294, 321, 296.
        s.overrides[0] = static_cast<SHORT>(p.pages);
        s.overrides[1] = p.order;
        s.overrides[2] = 1;
        s.overrides[3] = kNoOverride;
        s.overrides[4] = 0;
        return kEscDone;
      }
      return kEscUnknownArgument;
    }
    default: return kEscUnsupportedFeature;
  }
}

BOOL ReplaceAppBlock(Pdev* pdev, const BYTE* bytes, DWORD size) {
  if (pdev->appBlock != nullptr && pdev->appBlockSize != size) FreeAppBlock(pdev);
  if (size == 0) return TRUE;
  if (pdev->appBlock == nullptr) {
    pdev->appBlock = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
    if (pdev->appBlock == nullptr) return FALSE;
    pdev->appBlockSize = size;
  }
  std::memcpy(pdev->appBlock, bytes, size);
  return TRUE;
}

void FreeAppBlock(Pdev* pdev) {
  if (pdev->appBlock != nullptr) GlobalFree(pdev->appBlock);
  pdev->appBlock = nullptr;
  pdev->appBlockSize = 0;
}

LONG HandleDirectDataEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG, BYTE*, BOOL query) {
  if (query) return AnswerDirectQuery(pdev);
  if (pdev == nullptr || in == nullptr) return kEscBadArgument;
  if (cjIn < 4) return kEscBadSize;
  const DWORD length = ReadDword(in);
  // The length is checked against the bytes really given, not only against its maximum.
  if (length > kMaxDataLength || length > cjIn - 4) return kEscBadSize;
  if (length >= 1 && length <= 3) {
    FreeAppBlock(pdev);
    return kEscBadArgument;
  }
  if (!ReplaceAppBlock(pdev, in + 4, length)) return kEscBadArgument;
  return kEscDone;
}
