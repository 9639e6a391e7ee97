// DrvEscape: the public escapes, the applications' direct mode and the user-interface module's
// private escapes, each a row of one table with its answer to QUERYESCSUPPORT. Every size and
// buffer is checked before anything is read or written; a refused escape changes nothing.
#include "graphics/ddi/escapes.h"
#include "graphics/device/overlay_state.h"

#include <algorithm>
#include <cstring>

#include "core/database/database.h"
#include "core/database/model_features.h"
#include "core/system/user_locale.h"
#include "graphics/ddi/direct_mode.h"
#include "graphics/ddi/escape_blocks.h"
#include "graphics/ddi/escape_results.h"
#include "graphics/ddi/overlay_escapes.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/pdev.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/job/fax_passes.h"
#include "graphics/job/job_control.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"

namespace {

// One escape's call: the device (checked valid), the buffers as given.
struct EscapeCall {
  Pdev* pdev;
  ULONG cjIn;
  const BYTE* in;
  ULONG cjOut;
  BYTE* out;
};
using EscapeHandler = LONG (*)(const EscapeCall& call);
using DirectHandler = LONG (*)(Pdev*, ULONG, const BYTE*, ULONG, BYTE*, BOOL);

struct EscapeRow {
  WORD code;
  LONG query;             // the QUERYESCSUPPORT answer, unless `direct` answers it
  EscapeHandler handler;  // private and public escapes
  DirectHandler direct;   // direct-mode escapes, which answer their own query
};

constexpr DWORD kSectionCopyLimit = 4;
constexpr char kTechnology[] = "VORN";  // with its NUL byte
constexpr DWORD kConfirmBytes = 4;
constexpr DWORD kExtValueBytes = 8;
constexpr DWORD kModelHostFromSettings = 0x2000000;
constexpr ULONG kDocNameChars = 260;
constexpr WORD kBatchBegin = 0, kBatchEnd = 1;
constexpr WORD kRenderLockBatchEnded = 0x1;
constexpr DWORD kJobHeaderPrefix = 16;
// The model's region feature: its default paper follows the locale's measurement system.
constexpr DWORD kSectionRegion = 26;
constexpr DWORD kRegionLetterInInches = 0x400000;

// Offsets of the 768-byte job information record.
constexpr DWORD kInfoSwitch = 0, kInfoPositions = 4, kInfoUser = 16, kInfoHost = 144, kInfoDocument = 208,
                kInfoPage = 730, kInfoDate = 732, kInfoTime = 754;
constexpr DWORD kDocumentOut = 520;
constexpr WORD kNoPosition = 0xFFFF;

template <typename T>
T Read(const BYTE* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename T>
void Write(BYTE* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

bool Locked(const Pdev* pdev) { return (pdev->render.renderLock & kRenderLockBatch) != 0; }

LONG SetCopyCount(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn < 4) return kEscBadArgument;
  const DWORD limit = ReadSectionValue(c.pdev->database, kSectionCopyLimit, 2, 0);
  if (limit != 0) {
    const DWORD wanted = Read<DWORD>(c.in);
    c.pdev->copies = static_cast<LONG>(std::min(wanted, limit));
  }
  if (c.pdev->copies < 1) c.pdev->copies = 1;
  if (c.out != nullptr && c.cjOut >= 4) Write<DWORD>(c.out, static_cast<DWORD>(c.pdev->copies));
  return kEscDone;
}

LONG GetTechnology(const EscapeCall& c) {
  if (c.in == nullptr) return kEscUnsupported;
  if (c.out == nullptr || c.cjOut <= 4) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kEscUnsupported;
  }
  std::memcpy(c.out, kTechnology, sizeof kTechnology);
  return kEscDone;
}

LONG GetSettings(const EscapeCall& c) {
  if (c.out == nullptr || c.cjOut != sizeof(SettingsRecord)) return kEscBadArgument;
  std::memcpy(c.out, &c.pdev->settings, sizeof(SettingsRecord));
  return kEscDone;
}

LONG SetSettings(const EscapeCall& c) {
  if (Locked(c.pdev)) return kEscDone;
  if (c.in == nullptr || c.cjIn != sizeof(SettingsRecord)) return kEscBadArgument;
  std::memcpy(&c.pdev->settings, c.in, sizeof(SettingsRecord));
  return kEscDone;
}

LONG SetPrinterConfig(const EscapeCall& c) {
  if (Locked(c.pdev)) return kEscDone;
  if (c.in == nullptr || c.cjIn != sizeof(PrinterConfiguration) || c.pdev->config == nullptr) return kEscBadArgument;
  std::memcpy(c.pdev->config, c.in, sizeof(PrinterConfiguration));
  return kEscDone;
}

// The stamp and job-information switches: the current state out, then the new one in.
LONG OverlayMode(const EscapeCall& c, bool stamp) {
  if (c.out != nullptr && c.cjOut == 4)
    Write<DWORD>(c.out, stamp ? (IsStampDrawingActive(c.pdev) ? 1 : 0) : c.pdev->job.jobInfoDrawing);
  if (c.in != nullptr && c.cjIn == 4) {
    const BOOL on = Read<DWORD>(c.in) == 1;
    const int result = stamp ? SetOverlayMode(c.pdev, on, c.pdev->job.jobInfoDrawing)
                             : SetOverlayMode(c.pdev, IsStampDrawingActive(c.pdev), on);
    if (result != 0) return kEscBadArgument;
  }
  return kEscDone;
}
LONG StampMode(const EscapeCall& c) { return OverlayMode(c, true); }
LONG JobInfoMode(const EscapeCall& c) { return OverlayMode(c, false); }

// The fax send list of the job; a refused list changes nothing.
LONG SetFaxList(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn == 0) return kEscUnsupported;
  if (Locked(c.pdev)) return kEscDone;
  return SetFaxListEscape(c.pdev, c.cjIn, c.in) == 0 ? kEscDone : kEscBadArgument;
}

LONG QueryFaxJob(const EscapeCall& c) {
  if (c.out == nullptr || c.cjOut < 4) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kEscUnsupported;
  }
  Write<DWORD>(c.out, c.pdev->faxModel);
  return kEscDone;
}

// A missing or short output answers -1 rather than writing through it.
LONG GetSheetCount(const EscapeCall& c) {
  if (c.out == nullptr || c.cjOut < 4) return kEscBadArgument;
  Write<DWORD>(c.out, c.pdev->job.sheets);
  return kEscDone;
}

LONG SetPageMargins(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn != kPageMarginsSize) return kEscBadArgument;
  PageState& s = c.pdev->pageState;
  for (int i = 0; i < 4; ++i) s.escapeMargins[i] = Read<WORD>(c.in + 2 + 2 * i);
  s.escapePaperId = Read<WORD>(c.in);
  return kEscDone;
}

LONG StartDocPre(const EscapeCall& c) {
  c.pdev->escapeDrivenJob = 1;
  return kEscDone;
}

// A missing or short input changes nothing (and is still accepted, as other values are).
LONG Batch(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn < 2) return kEscDone;
  const WORD value = Read<WORD>(c.in);
  WORD& lock = c.pdev->render.renderLock;
  const DWORD flags = c.pdev->job.flags;
  if (value == kBatchBegin) {
    if ((flags & kJobStarted) == 0 || (flags & kJobOutputBegun) != 0) lock |= kRenderLockBatch;
  } else if (value == kBatchEnd) {
    lock = static_cast<WORD>((lock & ~kRenderLockBatch) | kRenderLockBatchEnded);
  }
  return kEscDone;
}

LONG SetDocName(const EscapeCall& c) {
  if (Locked(c.pdev)) return kEscDone;
  if (c.in == nullptr || c.cjIn == 0) return kEscBadArgument;
  // Only whole characters that were given, at most 260, up to the first NUL.
  const ULONG available = std::min<ULONG>(c.cjIn / sizeof(WCHAR), kDocNameChars);
  WCHAR* name = c.pdev->render.documentName;
  ULONG n = 0;
  for (; n < available; ++n) {
    const WCHAR ch = Read<WCHAR>(c.in + n * sizeof(WCHAR));
    if (ch == 0) break;
    name[n] = ch;
  }
  name[n] = 0;
  return kEscDone;
}

LONG SetJobHeaders(const EscapeCall& c) {
  if (Locked(c.pdev)) return kEscDone;
  if (c.in == nullptr || c.cjIn < kJobHeaderPrefix) return kEscBadArgument;
  const DWORD count = Read<DWORD>(c.in);
  const DWORD length = Read<DWORD>(c.in + 4);
  // The entries and values must all be inside the input.
  const ULONGLONG data = static_cast<ULONGLONG>(count) * (static_cast<ULONGLONG>(length) + 4);
  if (data > c.cjIn - kJobHeaderPrefix) return kEscBadArgument;
  auto* table = static_cast<JobHeaderTable*>(GlobalAlloc(GPTR, sizeof(JobHeaderTable) + data));
  if (table == nullptr) return kEscBadArgument;
  BYTE* body = reinterpret_cast<BYTE*>(table + 1);
  table->count = count;
  table->length = length;
  table->entries = body;
  table->values = reinterpret_cast<DWORD*>(body + static_cast<ULONGLONG>(count) * length);
  std::memcpy(body, c.in + kJobHeaderPrefix, data);
  if (c.pdev->jobHeaders != nullptr) GlobalFree(c.pdev->jobHeaders);
  c.pdev->jobHeaders = table;
  return kEscDone;
}

// {on, override switch, colour override}: what survives a reset of the device.
LONG GetDirectMode(const EscapeCall& c) {
  if (c.out == nullptr || c.cjOut != kDirectModeRecordSize) return kEscBadArgument;
  const DirectModeState& s = c.pdev->directMode;
  Write<DWORD>(c.out, s.on);
  Write<DWORD>(c.out + 4, s.overrideSwitch);
  Write<WORD>(c.out + 8, s.colorOverride);
  std::memset(c.out + 10, 0, 2);
  return kEscDone;
}

LONG SetDirectMode(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn != kDirectModeRecordSize) return kEscBadArgument;
  DirectModeState& s = c.pdev->directMode;
  s.on = Read<DWORD>(c.in);
  s.overrideSwitch = Read<DWORD>(c.in + 4);
  s.colorOverride = Read<WORD>(c.in + 8);
  return kEscDone;
}

// Whether the document has started here: the user-interface module asks for its start
// confirmation only when it has. A document the user-interface module's escapes drive is
// answered either way; any other is refused until it has started.
LONG QueryStartDoc(const EscapeCall& c) {
  if (c.out == nullptr || c.cjOut != 4) return kEscBadArgument;
  const bool started = (c.pdev->job.flags & kJobStarted) != 0;
  if (c.pdev->escapeDrivenJob) {
    Write<DWORD>(c.out, started ? 1 : 0);
    return kEscDone;
  }
  Write<DWORD>(c.out, started ? 1 : 0);
  return started ? kEscDone : kEscBadArgument;
}

LONG SetConfirmed(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn != kConfirmBytes) return kEscBadArgument;
  c.pdev->render.confirmed = Read<DWORD>(c.in);
  return kEscDone;
}

LONG SetExtBlock(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn != kExtBlockSize) return kEscBadArgument;
  std::memcpy(c.pdev->extBlock, c.in, kExtBlockSize);
  return kEscDone;
}

LONG SetAppBlock(const EscapeCall& c) {
  FreeAppBlock(c.pdev);
  if (c.in == nullptr) return kEscBadArgument;
  return ReplaceAppBlock(c.pdev, c.in, c.cjIn) ? kEscDone : kEscBadArgument;
}

LONG GetAppBlock(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn != 2 || c.out == nullptr) return kEscBadArgument;
  switch (Read<WORD>(c.in)) {
    case 0:
      if (c.cjOut != 4) return kEscBadArgument;
      Write<DWORD>(c.out, c.pdev->appBlockSize);
      return kEscDone;
    case 1:
      if (c.pdev->appBlock == nullptr || c.cjOut != c.pdev->appBlockSize) return kEscBadArgument;
      std::memcpy(c.out, c.pdev->appBlock, c.cjOut);
      return kEscDone;
    default: return kEscBadArgument;
  }
}

LONG SetAuxBlock(const EscapeCall& c) {
  Pdev* pdev = c.pdev;
  if (pdev->auxBlock != nullptr) GlobalFree(pdev->auxBlock);
  pdev->auxBlock = nullptr;
  pdev->auxBlockSize = 0;
  if (c.in == nullptr) return kEscBadArgument;
  pdev->auxBlock = static_cast<BYTE*>(GlobalAlloc(GPTR, c.cjIn != 0 ? c.cjIn : 1));
  if (pdev->auxBlock == nullptr) return kEscBadArgument;
  std::memcpy(pdev->auxBlock, c.in, c.cjIn);
  pdev->auxBlockSize = c.cjIn;
  return kEscDone;
}

LONG SetExtValue(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn != kExtValueBytes) return kEscBadArgument;
  c.pdev->render.extensionValue = Read<ULONGLONG>(c.in);
  return kEscDone;
}

LONG PageEnd(const EscapeCall& c) { return HandlePageEndEscape(c.pdev, c.cjIn, c.in, c.cjOut, c.out); }
LONG StampPos(const EscapeCall& c) { return HandleStampPosEscape(c.pdev, c.cjIn, c.in); }


// The locale's measurement system for this process; a sheet that follows the model's default
// paper takes the default of the new system. A value other than 1 (inch) or 2 (metric) is
// refused and changes nothing.
LONG SetMeasureSystem(const EscapeCall& c) {
  if (c.in == nullptr || c.cjIn < 2) return kEscBadArgument;
  const WORD value = Read<WORD>(c.in);
  if (value != kMeasureInch && value != kMeasureMetric) return kEscBadArgument;
  const bool modelFlag = (ReadSectionValue(c.pdev->database, kSectionRegion, 4, 0) & kRegionLetterInInches) != 0;
  const int inForce = GetLocaleMeasureSystem(modelFlag ? 1 : 0);
  SetLocaleMeasureSystem(value);
  if (c.pdev->sheetLayout.defaultPaper != 1 || value == inForce) return kEscDone;
  if (ReapplyDefaultSheetPaper(c.pdev)) return kEscDone;
  if (modelFlag) SetLocaleMeasureSystem(inForce);
  return kEscBadArgument;
}

// Copies one text of the job information into its block (made on first use); FALSE when the
// block cannot be made.
BOOL CopyInfoText(BYTE** block, const BYTE* text, DWORD bytes) {
  if (*block == nullptr) *block = static_cast<BYTE*>(GlobalAlloc(GPTR, bytes));
  if (*block == nullptr) return FALSE;
  std::memcpy(*block, text, bytes);
  return TRUE;
}

// The host text from the settings when the model and items say so; NULL for the input's.
LPCWSTR HostTextFromSettings(Pdev* pdev) {
  DWORD words[2] = {};
  GetModelFeatureFlags(pdev->database, words);
  if ((words[0] & kModelHostFromSettings) == 0) {
    if (GetPdevSettingDword(pdev, kItemOwnerSetSwitch) != 0) {
      if (GetPdevSettingDword(pdev, kItemOwnerModeAlt) != 0) return GetPdevSettingString(pdev, kItemOtherOwnerName);
      if (GetPdevSettingDword(pdev, kItemOwnerMode) != 0) return GetPdevSettingString(pdev, kItemOwnerName);
    }
    return nullptr;
  }
  const DWORD host = GetPdevSettingDword(pdev, kItemOwnerSetSwitch) != 0
                         ? GetPdevSettingDword(pdev, kItemOwnerSetSwitch)
                         : GetPdevSettingDword(pdev, kItemPrompt);
  if (host == 1) return GetPdevSettingString(pdev, kItemPromptGroup1Key);
  const bool first = GetPdevSettingDword(pdev, kItemOwnerModeAlt) != 0;
  const DWORD kind = first ? GetPdevSettingDword(pdev, kItemOwnerModeAlt) : GetPdevSettingDword(pdev, kItemOwnerMode);
  if (kind == 7) return GetPdevSettingString(pdev, first ? kItemOtherOwnerName : kItemOwnerName);
  return nullptr;
}

LONG SetJobInfo(const EscapeCall& c) {
  Pdev* pdev = c.pdev;
  if (c.in == nullptr) return kEscBadArgument;
  if (Locked(pdev)) return kEscDone;
  if (c.cjIn != kJobInfoBlockSize) return kEscBadArgument;
  if (pdev->jobInfo == nullptr) pdev->jobInfo = static_cast<JobInfoCopy*>(GlobalAlloc(GPTR, sizeof(JobInfoCopy)));
  if (pdev->jobInfo == nullptr) return kEscBadArgument;
  JobInfoCopy& copy = *pdev->jobInfo;
  auto present = [&c](DWORD offset) { return c.in[offset] != 0 || c.in[offset + 1] != 0; };
  LONG result = kEscDone;
  if (present(kInfoUser) && !CopyInfoText(&copy.user, c.in + kInfoUser, kJobInfoUserBytes)) result = kEscBadArgument;
  BYTE host[kJobInfoHostBytes];
  std::memcpy(host, c.in + kInfoHost, kJobInfoHostBytes);
  if (LPCWSTR text = HostTextFromSettings(pdev); text != nullptr) {
    std::memset(host, 0, sizeof host);
    for (DWORD i = 0; i + 1 < kJobInfoHostBytes / sizeof(WCHAR) && text[i] != 0; ++i)
      std::memcpy(host + i * sizeof(WCHAR), &text[i], sizeof(WCHAR));
  }
  if ((host[0] != 0 || host[1] != 0) && !CopyInfoText(&copy.host, host, kJobInfoHostBytes)) result = kEscBadArgument;
  if (present(kInfoDocument) && !CopyInfoText(&copy.document, c.in + kInfoDocument, kJobInfoDocumentBytes))
    result = kEscBadArgument;
  if (present(kInfoDate) && !CopyInfoText(&copy.date, c.in + kInfoDate, kJobInfoDateBytes)) result = kEscBadArgument;
  if (present(kInfoTime) && !CopyInfoText(&copy.time, c.in + kInfoTime, kJobInfoTimeBytes)) return kEscBadArgument;
  return result;
}

LONG GetJobInfo(const EscapeCall& c) {
  Pdev* pdev = c.pdev;
  if (c.out == nullptr || c.cjOut != kJobInfoBlockSize) return kEscBadArgument;
  const JobInfoCopy* copy = pdev->jobInfo;
  if (copy == nullptr) {
    Write<DWORD>(c.out + kInfoSwitch, 0);
    for (DWORD offset : {kInfoUser, kInfoHost, kInfoDocument, kInfoDate, kInfoTime}) Write<WCHAR>(c.out + offset, 0);
    Write<WORD>(c.out + kInfoPage, pdev->job.sheets);
    return kEscBadArgument;
  }
  Write<DWORD>(c.out + kInfoSwitch, static_cast<DWORD>(pdev->render.jobInfoSwitch));
  WORD positions[6];
  for (int i = 0; i < 6; ++i) {
    positions[i] = static_cast<WORD>(pdev->render.jobInfoValues[i]);
    Write<WORD>(c.out + kInfoPositions + 2 * i, positions[i]);
  }
  // Each text in its place when its field is printed, else empty.
  auto put = [&c](int position, DWORD offset, const BYTE* text, DWORD bytes) {
    if (position != kNoPosition && text != nullptr) std::memcpy(c.out + offset, text, bytes);
    else Write<WCHAR>(c.out + offset, 0);
  };
  put(positions[0], kInfoUser, copy->user, kJobInfoUserBytes);
  put(positions[1], kInfoHost, copy->host, kJobInfoHostBytes);
  put(positions[2], kInfoDocument, reinterpret_cast<const BYTE*>(pdev->render.documentName), kDocumentOut);
  put(positions[3], kInfoDate, copy->date, kJobInfoDateBytes);
  put(positions[4], kInfoTime, copy->time, kJobInfoTimeBytes);
  Write<WORD>(c.out + kInfoPage, static_cast<WORD>(pdev->job.sheets + 1));
  return kEscDone;
}

constexpr EscapeRow kEscapes[] = {
    {kEscSetCopyCount, 999, SetCopyCount, nullptr},
    {kEscGetTechnology, kEscDirectMode, GetTechnology, nullptr},
    {kEscDirectMode, 0, nullptr, HandleDirectModeEscape},
    {kEscDirectImage, 0, nullptr, HandleDirectImageEscape},
    {kEscDirectPage, 0, nullptr, HandleDirectPageEscape},
    {kEscDirectQuery, 0, nullptr, HandleDirectQueryEscape},
    {kEscDirectData, 0, nullptr, HandleDirectDataEscape},
    {DRVESC_PAGEEND, 1, PageEnd, nullptr},
    {DRVESC_GETSETTINGS, 1, GetSettings, nullptr},
    {DRVESC_STAMPMODE, 1, StampMode, nullptr},
    {DRVESC_STAMPPOS, 1, StampPos, nullptr},
    {DRVESC_SETSETTINGS, 1, SetSettings, nullptr},
    {DRVESC_GETJOBINFO, 1, GetJobInfo, nullptr},
    {DRVESC_SETJOBINFO, 1, SetJobInfo, nullptr},
    {DRVESC_JOBINFOMODE, 1, JobInfoMode, nullptr},
    {DRVESC_QUERYFAXJOB, 1, QueryFaxJob, nullptr},
    {DRVESC_GETSHEETCOUNT, 1, GetSheetCount, nullptr},
    {DRVESC_SETPRINTERCONFIG, 1, SetPrinterConfig, nullptr},
    {DRVESC_SETPAGEMARGINS, 1, SetPageMargins, nullptr},
    {DRVESC_STARTDOCPRE, 1, StartDocPre, nullptr},
    {DRVESC_BATCH, 1, Batch, nullptr},
    {DRVESC_SETDOCNAME, 1, SetDocName, nullptr},
    {DRVESC_SETFAXLIST, 1, SetFaxList, nullptr},
    {DRVESC_SETJOBHEADERS, 1, SetJobHeaders, nullptr},
    {DRVESC_GETDIRECTMODE, 1, GetDirectMode, nullptr},
    {DRVESC_SETDIRECTMODE, 1, SetDirectMode, nullptr},
    {DRVESC_QUERYSTARTDOC, 1, QueryStartDoc, nullptr},
    {DRVESC_SETCONFIRMED, 1, SetConfirmed, nullptr},
    {DRVESC_SETEXTBLOCK, 1, SetExtBlock, nullptr},
    {DRVESC_SETAPPBLOCK, 1, SetAppBlock, nullptr},
    {DRVESC_GETAPPBLOCK, 1, GetAppBlock, nullptr},
    {DRVESC_SETAUXBLOCK, 1, SetAuxBlock, nullptr},
    {DRVESC_SETEXTVALUE, 1, SetExtValue, nullptr},
    {DRVESC_SETMEASURESYSTEM, 1, SetMeasureSystem, nullptr},
};

const EscapeRow* FindEscape(WORD code) {
  for (const EscapeRow& row : kEscapes)
    if (row.code == code) return &row;
  return nullptr;
}

}  // namespace

namespace {

LONG DispatchEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out) {
  if (surface == nullptr) return kEscBadArgument;
  Pdev* pdev = reinterpret_cast<Pdev*>(surface->dhpdev);
  if (static_cast<WORD>(code) == kEscQuerySupport) {
    if (in == nullptr || cjIn < 2) return kEscBadArgument;
    const EscapeRow* row = FindEscape(Read<WORD>(static_cast<const BYTE*>(in)));
    if (row == nullptr) return kEscUnsupported;
    if (row->direct != nullptr) return row->direct(IsPdevValid(pdev) ? pdev : nullptr, 0, nullptr, 0, nullptr, TRUE);
    return row->query;
  }
  if (!IsPdevValid(pdev)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kEscUnsupported;
  }
  const EscapeRow* row = FindEscape(static_cast<WORD>(code));
  if (row == nullptr) return kEscUnsupported;
  const EscapeCall call{pdev, in != nullptr ? cjIn : 0, static_cast<const BYTE*>(in), out != nullptr ? cjOut : 0,
                        static_cast<BYTE*>(out)};
  if (row->direct != nullptr) return row->direct(pdev, call.cjIn, call.in, call.cjOut, call.out, FALSE);
  return row->handler(call);
}

}  // namespace

ULONG HandleEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out) {
  return static_cast<ULONG>(DispatchEscape(surface, code, cjIn, in, cjOut, out));
}

void FreeJobEscapeBlocks(Pdev* pdev) {
  if (JobInfoCopy* copy = pdev->jobInfo; copy != nullptr) {
    for (BYTE* block : {copy->user, copy->host, copy->document, copy->date, copy->time})
      if (block != nullptr) GlobalFree(block);
    GlobalFree(copy);
    pdev->jobInfo = nullptr;
  }
  if (pdev->jobHeaders != nullptr) GlobalFree(pdev->jobHeaders);
  pdev->jobHeaders = nullptr;
  FreeAppBlock(pdev);
  FreeFaxList(pdev);
}

void FreeEscapeBlocks(Pdev* pdev) {
  FreeJobEscapeBlocks(pdev);
  if (pdev->auxBlock != nullptr) GlobalFree(pdev->auxBlock);
  pdev->auxBlock = nullptr;
  pdev->auxBlockSize = 0;
}
