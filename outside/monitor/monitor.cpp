// Stand-in for the outside document-monitor client (see monitor_sim.h). Built complete and
// once without QdmSetQdmDataEx and once without QdmSetJobId.
#include <cstring>
#include <string>
#include <vector>

#include "outside/monitor/monitor_sim.h"
#include "platform/base/addr32.h"
#include "platform/base/export.h"
#include "platform/base/types.h"

namespace {

constexpr DWORD kHeaderSize = 600;
constexpr DWORD kRecordSize = 812;
constexpr DWORD kRecordTokenOffset = 596;
constexpr DWORD kOldHeaderSize = 532;
constexpr DWORD kOldRecordSize = 660;
constexpr DWORD kOldRecordLimit = 1000;

struct Client {
  bool available = true;
  BOOL results[kSimQdmEntryCount] = {1, 1, 1, 1, 1, 1, 1, 1};
  std::string clientId = "C01";
  std::string jobId = "J0001";
  std::vector<SimQdmCall> calls;
  std::vector<BYTE> data;
  LONG openHandles = 0;
};

Client& State() {
  static Client client;
  return client;
}

BOOL Log(DWORD entry, ULONG_PTR handle) {
  State().calls.push_back({entry, handle});
  return State().results[entry];
}

BOOL WriteId(DWORD entry, HANDLE handle, LPSTR buffer, const std::string& id) {
  if (!Log(entry, reinterpret_cast<ULONG_PTR>(handle)) || buffer == nullptr) return FALSE;
  std::memcpy(buffer, id.c_str(), id.size() + 1);
  return TRUE;
}

}  // namespace

DLLEXPORT HANDLE WINAPI QdmInitializePirvex(DWORD) {
  if (!Log(kSimQdmInitialize, 0) || !State().available) return nullptr;
  ++State().openHandles;
  return reinterpret_cast<HANDLE>(kSimQdmHandle);
}

DLLEXPORT BOOL WINAPI QdmUnInitializePirvex(HANDLE handle) {
  if (!Log(kSimQdmUnInitialize, reinterpret_cast<ULONG_PTR>(handle))) return FALSE;
  if (reinterpret_cast<ULONG_PTR>(handle) != kSimQdmHandle) return FALSE;
  --State().openHandles;
  return TRUE;
}

DLLEXPORT BOOL WINAPI QdmCreateClientId(HANDLE handle, LPSTR buffer) {
  return WriteId(kSimQdmCreateClientId, handle, buffer, State().clientId);
}

DLLEXPORT BOOL WINAPI QdmCreateJobId(HANDLE handle, LPSTR buffer) {
  return WriteId(kSimQdmCreateJobId, handle, buffer, State().jobId);
}

#ifndef QV_QDM_OMIT_QdmSetQdmDataEx
DLLEXPORT BOOL WINAPI QdmSetQdmDataEx(HANDLE handle, const BYTE* header) {
  if (!Log(kSimQdmSetQdmDataEx, reinterpret_cast<ULONG_PTR>(handle)) || header == nullptr) return FALSE;
  DWORD token = 0;
  std::memcpy(&token, header + kRecordTokenOffset, sizeof token);
  const BYTE* record = static_cast<const BYTE*>(FromAddr32(token));
  if (record == nullptr) return FALSE;
  std::vector<BYTE>& data = State().data;
  data.assign(header, header + kHeaderSize);
  data.insert(data.end(), record, record + kRecordSize);
  return TRUE;
}
#endif

DLLEXPORT BOOL WINAPI QdmSetQdmData(HANDLE handle, const BYTE* block) {
  if (!Log(kSimQdmSetQdmData, reinterpret_cast<ULONG_PTR>(handle)) || block == nullptr) return FALSE;
  DWORD count = 0;
  std::memcpy(&count, block, sizeof count);
  if (count > kOldRecordLimit) return FALSE;
  State().data.assign(block, block + kOldHeaderSize + kOldRecordSize * count);
  return TRUE;
}

DLLEXPORT BOOL WINAPI QdmExecPirvex(HANDLE handle) {
  return Log(kSimQdmExec, reinterpret_cast<ULONG_PTR>(handle));
}

// The bound entries the system does not call: they log and answer.
#define QV_QDM_OTHER(name) \
  DLLEXPORT BOOL WINAPI name(HANDLE handle) { return Log(kSimQdmOther, reinterpret_cast<ULONG_PTR>(handle)); }
QV_QDM_OTHER(QdmSetGroupStyle)
#ifndef QV_QDM_OMIT_QdmSetJobId
QV_QDM_OTHER(QdmSetJobId)
#endif
QV_QDM_OTHER(QdmSetDestinationCount)
QV_QDM_OTHER(QdmSetPortName)
QV_QDM_OTHER(QdmSetFriendlyName)
QV_QDM_OTHER(QdmSetParamStyle)
QV_QDM_OTHER(QdmExecPirvexPreferences)
QV_QDM_OTHER(QdmSetJobDestinations)
QV_QDM_OTHER(QdmExecPirvexWithStatus)
QV_QDM_OTHER(QdmExecPirvexPreferencesWithStatus)
#undef QV_QDM_OTHER

DLLEXPORT void SimQdmReset() { State() = Client{}; }
DLLEXPORT void SimQdmSetAvailable(BOOL available) { State().available = available != 0; }
DLLEXPORT void SimQdmSetResult(DWORD entry, BOOL result) {
  if (entry < kSimQdmEntryCount) State().results[entry] = result;
}
DLLEXPORT void SimQdmSetIds(const char* clientId, const char* jobId) {
  State().clientId = clientId;
  State().jobId = jobId;
}
DLLEXPORT DWORD SimQdmCallCount() { return static_cast<DWORD>(State().calls.size()); }
DLLEXPORT BOOL SimQdmGetCall(DWORD index, SimQdmCall* call) {
  if (index >= State().calls.size() || call == nullptr) return FALSE;
  *call = State().calls[index];
  return TRUE;
}
DLLEXPORT DWORD SimQdmGetData(BYTE* out, DWORD capacity) {
  const std::vector<BYTE>& data = State().data;
  if (out != nullptr) std::memcpy(out, data.data(), data.size() < capacity ? data.size() : capacity);
  return static_cast<DWORD>(data.size());
}
DLLEXPORT LONG SimQdmOpenHandles() { return State().openHandles; }
