#include "core/job/job_attr_library.h"

#include <cstring>
#include <vector>

#include "core/database/database.h"
#include "core/job/job_header_status.h"
#include "core/runtime/module_state.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"

namespace {

constexpr WORD kLibraryHeaderText = 3;

using NupProc = BOOL(WINAPI*)(DWORD, LPSTR, DWORD*, WORD*);
using HostAddressProc = BOOL(WINAPI*)(LPSTR, DWORD*, DWORD*);
using OwnerFromUserHostProc = BOOL(WINAPI*)(DWORD, DWORD, DWORD, LPSTR, DWORD*, DWORD*);
using OwnerFromInputProc = BOOL(WINAPI*)(DWORD, LPCSTR, DWORD, DWORD, LPSTR, DWORD*, DWORD*);
using HostNameProc = BOOL(WINAPI*)(DWORD, LPSTR, DWORD*, DWORD, DWORD*);

constexpr DWORD kHostNameKind = 32;

template <typename Proc>
Proc Bind(JobHeaderBuild* build, LPCSTR name) {
  FARPROC address = nullptr;
  return GetVjclHelperProc(build, name, &address) ? reinterpret_cast<Proc>(address) : nullptr;
}

// The library's answer, read only as far as the buffer it was given: a library that fills
// the buffer leaves no terminator.
struct Answer {
  std::vector<char> bytes;
  explicit Answer(DWORD size) : bytes(size + 1, 0) {}
  LPSTR data() { return bytes.data(); }
  const char* text() { return bytes.data(); }
  bool empty() const { return bytes[0] == 0; }
};

// Appends one answer of the library, wrapped in a JOBATTR line in that mode.
int AppendAnswer(JobHeaderBuild* build, Answer& answer) {
  HeaderOutput* out = build->output;
  if (HasFeature(build, kFeatureJobAttrMode)) {
    int total = 0;
    for (const char* part : {"@PJL SET JOBATTR=\"", answer.text(), "\""}) {
      const int r = AppendAnsi(part, out);
      if (r < 0) return r;
      total += r;
    }
    return total;
  }
  int count = 0;
  LPWSTR wide = MultiByteToWideAlloc(0, answer.text(), &count);
  if (wide == nullptr) return kJobTextConversionFailed;
  const int r = AppendWideAsAnsi(wide, out);
  GlobalFree(wide);
  return r;
}

// The N-up code of the layout, or -1 when the layout has none.
int GetNupCode(JobHeaderBuild* build, DWORD* code) {
  DWORD booklet = 0, tiles = 0, pages = 0;
  if (int r = ReadItemAs(kItemPageLayout, build, &booklet); r < 0) return r;
  if (booklet == 2) return *code = 1, 0;
  if (booklet == 1) {
    if (int r = ReadItemAs(kItemTileCount, build, &tiles); r < 0) return r;
    if (tiles == 0x0202) return *code = 8, 0;
    if (tiles == 0x0303) return *code = 10, 0;
    if (tiles == 0x0404) return *code = 11, 0;
  }
  if (int r = ReadItemAs(kItemPagesPerSheet, build, &pages); r < 0) return r;
  static constexpr DWORD kCodes[][2] = {{1, 0}, {2, 1}, {4, 2}, {8, 4}, {16, 6}, {32, 12}};
  for (const auto& row : kCodes)
    if (row[0] == pages) return *code = row[1], 0;
  return -1;
}

int WriteNupAttr(JobHeaderBuild* build) {
  DWORD code = 0;
  const int found = GetNupCode(build, &code);
  if (found < -1) return found;
  if (found == -1) return 0;
  auto proc = Bind<NupProc>(build, "DHGetVJCLStringOfNup");
  if (proc == nullptr) return kJobLibraryFailed;
  Answer answer(kNupTextBytes);
  DWORD size = kNupTextBytes;
  WORD out = 0;
  if (!proc(code, answer.data(), &size, &out)) return kJobLibraryFailed;
  return AppendAnswer(build, answer);
}

int WriteHostAddressAttr(JobHeaderBuild* build, Answer& answer) {
  auto proc = Bind<HostAddressProc>(build, "DHGetVJCLStringOfHostAddress");
  if (proc == nullptr) return kJobLibraryFailed;
  DWORD size = kHostAddressTextBytes;
  DWORD out = 0;
  if (!proc(answer.data(), &size, &out)) return kJobLibraryFailed;
  return static_cast<int>(std::strlen(answer.text()));
}

// The owner text a prompt chose, as ANSI; false when the prompt does not decide it.
int ReadPromptOwner(JobHeaderBuild* build, DWORD ownerSwitch, std::vector<char>* owner) {
  DWORD prompt = 0;
  if (int r = ReadItemAs(ownerSwitch != 0 ? kItemPromptAlt : kItemPrompt, build, &prompt); r < 0) return r;
  if (prompt != 1) return 0;
  DWORD unknown = 0;
  if (int r = ReadItemAs(kItemPromptGroup, build, &unknown); r < 0) return r;
  if (unknown == 1) {
    const char text[] = "UnknownUser";
    owner->assign(text, text + sizeof text);
    return 1;
  }
  LPCWSTR text = nullptr;
  if (int r = ReadItemText(kItemPromptGroup1Key, build, &text); r < 0) return r;
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(text, &ansi, &length, 0)) return kJobTextConversionFailed;
  owner->assign(ansi, ansi + length + 1);
  GlobalFree(ansi);
  return 1;
}

int ReadOwnerText(JobHeaderBuild* build, SettingItemId id, std::vector<char>* owner) {
  LPCWSTR text = nullptr;
  if (int r = ReadItemText(id, build, &text); r < 0) return r;
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(text, &ansi, &length, 0)) return kJobTextConversionFailed;
  owner->assign(ansi, ansi + length + 1);
  GlobalFree(ansi);
  return 0;
}

// The owner line: how the owner is named follows the owner mode items and the prompt.
int WriteJobOwnerAttr(JobHeaderBuild* build, Answer& answer) {
  DWORD ownerSwitch = 0, m = 0;
  if (int r = ReadItemAs(kItemOwnerSetSwitch, build, &ownerSwitch); r < 0) return r;
  std::vector<char> prompted;
  int havePrompt = 0;
  if (HasFeature(build, kFeatureOwnerPrompt)) {
    havePrompt = ReadPromptOwner(build, ownerSwitch, &prompted);
    if (havePrompt < 0) return havePrompt;
  }
  if (int r = ReadItemAs(ownerSwitch != 0 ? kItemOwnerModeAlt : kItemOwnerMode, build, &m); r < 0) return r;
  m &= 0xFFFF;
  DWORD mode = 0, layout = 0, tray = 0;
  if (HasFeature(build, kFeatureNupAttribute) || HasFeature(build, kFeatureHostAddress)) {
    mode = HasFeature(build, kFeatureHostName) ? 5 : 1;
  } else {
    DWORD pages = 0, booklet = 0;
    if (int r = ReadItemAs(kItemPagesPerSheet, build, &pages); r < 0) return r;
    layout = pages;
    if (pages == 1) {
      if (int r = ReadItemAs(kItemPageLayout, build, &booklet); r < 0) return r;
      if (booklet == 1) layout = 100;
      else if (booklet == 2) layout = 2;
    }
    if (int r = GetTrayCode(build, &tray); r < 0) return r;
    if (m == 0 || m == 1 || m == 5 || m == 7) mode = 3;
    else if (m == 3 || m == 4 || m == 6) mode = 4;
    else return 0;
  }
  std::vector<char> owner;
  bool fromInput = false;
  if (havePrompt == 1) {
    owner = prompted;
    fromInput = true;
  } else if (m == 1 || (m >= 4 && m <= 7)) {
    if (int r = ReadOwnerText(build, ownerSwitch != 0 ? kItemOtherOwnerName : kItemOwnerName, &owner); r < 0) return r;
    fromInput = true;
  } else if (m != 0 && m != 3) {
    return 0;
  }
  DWORD size = kOwnerTextBytes;
  DWORD out = 0;
  if (fromInput) {
    auto proc = Bind<OwnerFromInputProc>(build, "DHGetVJCLStringOfJobOwnerFromInputA");
    if (proc == nullptr || !proc(mode, owner.data(), layout, tray, answer.data(), &size, &out)) return kJobLibraryFailed;
  } else {
    auto proc = Bind<OwnerFromUserHostProc>(build, "DHGetVJCLStringOfJobOwnerStringFromUserHostName");
    if (proc == nullptr || !proc(mode, layout, tray, answer.data(), &size, &out)) return kJobLibraryFailed;
  }
  return static_cast<int>(std::strlen(answer.text()));
}

int WriteHostNameAttr(JobHeaderBuild* build, Answer& answer) {
  auto proc = Bind<HostNameProc>(build, "DHGetVJCLStringOfHostNameEx");
  DWORD size = kHostNameTextBytes;
  DWORD out = 0;
  if (proc == nullptr || !proc(kHostNameKind, answer.data(), &size, 0, &out)) return kJobLibraryFailed;
  return static_cast<int>(std::strlen(answer.text()));
}

// Appends a non-empty answer and its line separator; bytes appended or a code.
int AppendAnswerLine(JobHeaderBuild* build, Answer& answer) {
  if (answer.empty()) return 0;
  const int r = AppendAnswer(build, answer);
  if (r < 0) return r;
  const int s = WriteLineSeparator(build->output);
  return s < 0 ? s : r + s;
}

}  // namespace

int BindJobAttributeLibrary(JobHeaderBuild* build) {
  if (build->library != nullptr) return 1;
  LPWSTR name = nullptr;
  if (ReadHeaderText(build->main, kLibraryHeaderText, &name) != kDbOk || name == nullptr || *name == 0) {
    ReleaseGlobalBlock(name);
    return 0;
  }
  WCHAR path[2 * MAX_PATH] = {};
  const bool haveDirectory = GetModuleDirectory(path, MAX_PATH * sizeof(WCHAR)) != 0;
  const bool fits = haveDirectory && lstrlenW(path) + lstrlenW(name) < 2 * MAX_PATH;
  if (fits) lstrcatW(path, name);
  ReleaseGlobalBlock(name);
  if (!fits) return 0;
  build->library = LoadLibraryW(path);
  return build->library != nullptr ? 1 : 0;
}

int GetVjclHelperProc(JobHeaderBuild* build, LPCSTR name, FARPROC* address) {
  *address = nullptr;
  if (!BindJobAttributeLibrary(build)) return 0;
  *address = GetProcAddress(build->library, name);
  return *address != nullptr ? 1 : 0;
}

void ReleaseJobAttributeLibrary(JobHeaderBuild* build) {
  if (build->library != nullptr) FreeLibrary(build->library);
  build->library = nullptr;
}

int GetTrayCode(JobHeaderBuild* build, DWORD* code) {
  DWORD source = 0, tray = 0;
  if (int r = ReadItemAs(kItemDefaultSource, build, &source); r < 0) return r;
  if (int r = ReadItemAs(kItemPaperSource, build, &tray); r < 0) return r;
  source &= 0xFFFF;
  const DWORD value = HasFeature(build, kFeatureTrayFromSource) ? (source == 15 ? tray : source)
                                                                : (tray == 258 ? source : tray);
  if (value == 4 || value == 260) {
    DWORD media = 0;
    if (int r = ReadItemAs(kItemMediaType, build, &media); r < 0) return r;
    *code = media == 3 ? 9 : (media == 1 || media == 2 || media == 7 || media == 8) ? 10 : 8;
    return 0;
  }
  static constexpr DWORD kTrays[][2] = {{7, 0}, {1, 1}, {3, 2}, {265, 3}, {266, 4}, {267, 5}, {2, 6}, {257, 7}};
  *code = 11;
  for (const auto& row : kTrays)
    if (row[0] == value) *code = row[1];
  return 0;
}

int WriteLibraryAttributes(JobHeaderBuild* build) {
  int total = 0;
  if (HasFeature(build, kFeatureNupAttribute)) {
    const int r = WriteNupAttr(build);
    if (r < 0) return r;
    const int s = WriteLineSeparator(build->output);
    if (s < 0) return s;
    total += r + s;
  }
  if (HasFeature(build, kFeatureHostAddress)) {
    Answer answer(kHostAddressTextBytes);
    if (WriteHostAddressAttr(build, answer) > 0) {
      const int r = AppendAnswerLine(build, answer);
      if (r < 0) return r;
      total += r;
    }
  }
  {
    Answer answer(kOwnerTextBytes);
    const int r = WriteJobOwnerAttr(build, answer);
    if (r < 0) return r;
    const int line = AppendAnswerLine(build, answer);
    if (line < 0) return line;
    total += line;
  }
  if (HasFeature(build, kFeatureHostName)) {
    Answer answer(kHostNameTextBytes);
    const int r = WriteHostNameAttr(build, answer);
    if (r < 0) return r;
    const int line = AppendAnswerLine(build, answer);
    if (line < 0) return line;
    total += line;
  }
  return total;
}
