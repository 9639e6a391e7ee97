// Stand-in for the outside job-attribute library (see jobattr_sim.h). Built complete and once
// per entry with that entry left out (QV_JOBATTR_OMIT_<entry>).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "outside/jobattr/jobattr_sim.h"
#include "platform/base/export.h"
#include "platform/base/types.h"

namespace {

struct Answer {
  int result = 1;
  bool scripted = false;
  std::string text;
};

struct Library {
  Answer answers[kSimJobAttrEntryCount];
  std::vector<SimJobAttrCall> calls;
};

Library& State() {
  static Library library;
  return library;
}

// Logs the call, then writes the scripted or own text into the buffer: cut to the buffer and
// terminated only when the terminator fits. 1, or 0 when scripted to fail or the buffer is
// missing.
int Respond(SimJobAttrCall call, const std::string& own, LPSTR buffer, DWORD* size) {
  Library& lib = State();
  call.sizeIn = size != nullptr ? *size : 0;
  lib.calls.push_back(call);
  const struct Answer& answer = lib.answers[call.entry];
  if (answer.result == 0 || buffer == nullptr || size == nullptr) return 0;
  const std::string& text = answer.scripted ? answer.text : own;
  const DWORD n = static_cast<DWORD>(text.size()) < *size ? static_cast<DWORD>(text.size()) : *size;
  std::memcpy(buffer, text.data(), n);
  if (n < *size) buffer[n] = 0;
  *size = n;
  return 1;
}

SimJobAttrCall Call(DWORD entry, DWORD a0 = 0, DWORD a1 = 0, DWORD a2 = 0, DWORD a3 = 0) {
  SimJobAttrCall call{};
  call.entry = entry;
  call.args[0] = a0;
  call.args[1] = a1;
  call.args[2] = a2;
  call.args[3] = a3;
  return call;
}

std::string Numbers(DWORD mode, DWORD layout, DWORD tray) {
  char text[48];
  std::snprintf(text, sizeof text, ";%u;%u;%u", mode, layout, tray);
  return text;
}

}  // namespace

#ifndef QV_JOBATTR_OMIT_DHGetVJCLStringOfNup
DLLEXPORT BOOL WINAPI DHGetVJCLStringOfNup(DWORD code, LPSTR buffer, DWORD* size, WORD* out) {
  if (out != nullptr) *out = 0;
  return Respond(Call(kSimJobAttrNup, code), "@NUPL=" + std::to_string(code), buffer, size);
}
#endif

#ifndef QV_JOBATTR_OMIT_DHGetVJCLStringOfHostAddress
DLLEXPORT BOOL WINAPI DHGetVJCLStringOfHostAddress(LPSTR buffer, DWORD* size, DWORD* out) {
  if (out != nullptr) *out = 0;
  return Respond(Call(kSimJobAttrHostAddress), "@HOAD=192.0.2.45", buffer, size);
}
#endif

#ifndef QV_JOBATTR_OMIT_DHGetVJCLStringOfJobOwnerStringFromUserHostName
DLLEXPORT BOOL WINAPI DHGetVJCLStringOfJobOwnerStringFromUserHostName(DWORD mode, DWORD layout, DWORD tray,
                                                                      LPSTR buffer, DWORD* size, DWORD* out) {
  if (out != nullptr) *out = 0;
  return Respond(Call(kSimJobAttrOwnerFromUserHost, mode, layout, tray),
                "@JOWN=qvuser@QVHOST" + Numbers(mode, layout, tray), buffer, size);
}
#endif

#ifndef QV_JOBATTR_OMIT_DHGetVJCLStringOfJobOwnerFromInputA
DLLEXPORT BOOL WINAPI DHGetVJCLStringOfJobOwnerFromInputA(DWORD mode, LPCSTR owner, DWORD layout, DWORD tray,
                                                          LPSTR buffer, DWORD* size, DWORD* out) {
  if (out != nullptr) *out = 0;
  SimJobAttrCall call = Call(kSimJobAttrOwnerFromInput, mode, layout, tray);
  if (owner != nullptr) std::snprintf(call.owner, sizeof call.owner, "%s", owner);
  return Respond(call, std::string("@JOWN=") + call.owner + Numbers(mode, layout, tray), buffer, size);
}
#endif

#ifndef QV_JOBATTR_OMIT_DHGetVJCLStringOfHostNameEx
DLLEXPORT BOOL WINAPI DHGetVJCLStringOfHostNameEx(DWORD kind, LPSTR buffer, DWORD* size, DWORD reserved, DWORD* out) {
  if (out != nullptr) *out = 0;
  return Respond(Call(kSimJobAttrHostName, kind, reserved), "@HONM=QVHOST", buffer, size);
}
#endif

DLLEXPORT void SimJobAttrReset() { State() = Library{}; }

DLLEXPORT void SimJobAttrSetAnswer(DWORD entry, int result, const char* text) {
  if (entry >= kSimJobAttrEntryCount) return;
  struct Answer& answer = State().answers[entry];
  answer.result = result;
  answer.scripted = text != nullptr;
  answer.text = text != nullptr ? text : "";
}

DLLEXPORT DWORD SimJobAttrCallCount() { return static_cast<DWORD>(State().calls.size()); }

DLLEXPORT BOOL SimJobAttrGetCall(DWORD index, SimJobAttrCall* call) {
  if (call == nullptr || index >= State().calls.size()) return FALSE;
  *call = State().calls[index];
  return TRUE;
}
