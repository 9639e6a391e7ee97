#include "core/job/monitor_records.h"

#include <cstring>
#include <ctime>

#include "core/runtime/lock_slots.h"
#include "platform/base/addr32.h"
#include "platform/kernel/time.h"

namespace {

// Field sizes of the records (bytes, each text with its terminator).
constexpr DWORD kPortBytes = 260;
constexpr DWORD kPrinterBytes = 256;
constexpr DWORD kUserBytes = 64;
constexpr DWORD kDocumentBytes = 260;
constexpr DWORD kFaxTextBytes = 32;
constexpr DWORD kOwnerBytes = 80;
// The client's ids are read into a generous buffer, since the client is told no size.
constexpr DWORD kClientIdBuffer = 260;
constexpr DWORD kSecondsPerDay = 86400;

void PutU32(BYTE* at, DWORD value) { std::memcpy(at, &value, sizeof value); }
void PutText(BYTE* at, LPCSTR text) {
  if (text != nullptr) std::memcpy(at, text, std::strlen(text));
}
bool Fits(LPCSTR text, DWORD bytes) { return text == nullptr || std::strlen(text) < bytes; }

// The client's id, when it gave one below 64 characters.
bool TakeId(PirvexHandle handle, bool jobId, char* id) {
  char buffer[kClientIdBuffer] = {};
  if (!CreatePirvexId(handle, jobId, buffer)) return false;
  buffer[kClientIdBuffer - 1] = 0;
  if (std::strlen(buffer) >= kPirvexIdBytes) return false;
  std::strcpy(id, buffer);
  return true;
}

int CheckArguments(PirvexHandle* handle, LPSTR id, int mode, const PirvexJobTexts* t) {
  if (handle == nullptr || id == nullptr || t == nullptr || t->port == nullptr || t->printer == nullptr ||
      t->user == nullptr)
    return kPirvexMissingArgument;
  if (mode != kPirvexModeOther && mode != kPirvexModeFax) return kPirvexBadMode;
  if (mode == kPirvexModeFax && (t->faxName == nullptr || t->faxNumber == nullptr)) return kPirvexMissingArgument;
  const bool fit = Fits(t->port, kPortBytes) && Fits(t->document, kDocumentBytes) && Fits(t->printer, kPrinterBytes) &&
                   Fits(t->user, kUserBytes) &&
                   (mode == kPirvexModeOther ? Fits(t->owner, kOwnerBytes)
                                             : Fits(t->faxName, kFaxTextBytes) && Fits(t->faxNumber, kFaxTextBytes));
  return fit ? kPirvexDone : kPirvexTextTooLong;
}

void BuildJobRecord(BYTE* r, int mode, DWORD item320, DWORD jobType, const PirvexJobTexts* t, const char* jobId,
                    DWORD delayHour, DWORD delayMinute) {
  LockSlotGuard clock(kLockClock);
  const LONGLONG now = _time64(nullptr);
  PutU32(r, kPirvexJobRecordSize);
  PutU32(r + 4, jobType);
  PutU32(r + 8, static_cast<DWORD>(now));
  PutText(r + 12, t->port);
  PutText(r + 272, jobId);
  PutText(r + 336, t->document);
  if (mode == kPirvexModeFax) {
    PutText(r + 596, t->faxName);
    PutText(r + 628, t->faxNumber);
  } else {
    PutU32(r + 660, item320);
    PutText(r + 732, t->owner);
  }
  if (jobType == kPirvexJobDelayed) {
    struct tm local = {};
    if (_localtime64_s(&local, &now) == 0)
      PutU32(r + 664, ComputeDelaySeconds(delayHour, delayMinute,
                                          static_cast<DWORD>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec)));
  }
}

}  // namespace

DWORD ComputeDelaySeconds(DWORD hour, DWORD minute, DWORD nowSeconds) {
  const DWORD target = hour * 3600 + minute * 60;
  return nowSeconds < target ? target - nowSeconds : target + kSecondsPerDay - nowSeconds;
}

int FillPirvexRecords(PirvexHandle* handle, LPSTR id, int mode, DWORD item320, DWORD jobType,
                      const PirvexJobTexts* texts, DWORD delayHour, DWORD delayMinute) {
  if (int r = CheckArguments(handle, id, mode, texts); r != kPirvexDone) return r;
  *handle = 0;
  const PirvexHandle client = InitializePirvex(0);
  if (client == 0) return kPirvexClientFailed;
  char clientId[kPirvexIdBytes], jobId[kPirvexIdBytes];
  int result = TakeId(client, false, clientId) && TakeId(client, true, jobId) ? kPirvexDone : kPirvexClientFailed;
  if (result == kPirvexDone && std::strlen(clientId) + 1 + std::strlen(jobId) >= kPirvexCombinedIdLimit)
    result = kPirvexTextTooLong;
  if (result == kPirvexDone) {
    BYTE record[kPirvexJobRecordSize] = {};
    BYTE header[kPirvexHeaderSize] = {};
    BuildJobRecord(record, mode, item320, jobType, texts, jobId, delayHour, delayMinute);
    PutU32(header, kPirvexHeaderSize);
    PutU32(header + 4, 1);
    PutU32(header + 8, 3);
    PutU32(header + 12, 11);
    PutText(header + 16, texts->port);
    PutText(header + 276, texts->printer);
    PutText(header + 532, texts->user);
    const DWORD token = ToAddr32(record);
    PutU32(header + 596, token);
    if (!SetPirvexData(client, header, record)) result = kPirvexClientFailed;
    ReleaseAddr32(token);
  }
  if (result != kPirvexDone) {
    UnInitializePirvex(client);
    return result;
  }
  std::strcpy(id, clientId);
  std::strcat(id, ".");
  std::strcat(id, jobId);
  *handle = client;
  return kPirvexDone;
}

int SubmitPirvexJob(PirvexHandle handle) {
  if (handle == 0) return kPirvexMissingArgument;
  const BOOL executed = ExecPirvex(handle);
  const BOOL closed = UnInitializePirvex(handle);
  return executed && closed ? kPirvexDone : kPirvexClientFailed;
}
