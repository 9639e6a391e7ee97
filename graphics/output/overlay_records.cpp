#include "graphics/output/overlay_records.h"

#include <string>

#include "core/database/database.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/output/driver_directory.h"
#include "graphics/output/record_writer.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DWORD kDataFileSection = 28;
constexpr DWORD kReadStep = 512;
constexpr int kOverlayRecordFixed = 29;
constexpr DWORD kPathChars = 260;

// The overlay's name in the ANSI code page; false without a name or memory.
bool OverlayAnsiName(Pdev* pdev, std::string* out) {
  LPWSTR name = OverlayFileName(pdev);
  if (name == nullptr) return false;
  LPSTR ansi = nullptr;
  int length = 0;
  const bool ok = WideToMultiByteCp(name, &ansi, &length, 0) != 0;
  if (ok) out->assign(ansi, static_cast<size_t>(length));
  if (ansi != nullptr) GlobalFree(ansi);
  GlobalFree(name);
  return ok && !out->empty();
}

}  // namespace

LPWSTR OverlayFileName(Pdev* pdev) {
  if (pdev == nullptr) return nullptr;
  const LPCWSTR path = GetPdevSettingString(pdev, kItemOverlayPath);
  if (path == nullptr || *path == 0 || lstrlenW(path) >= static_cast<int>(kPathChars)) return nullptr;
  WCHAR name[kPathChars] = {};
  _wsplitpath(path, nullptr, nullptr, name, nullptr);
  if (name[0] == 0) return nullptr;
  const int chars = lstrlenW(name) + 1;
  auto* copy = static_cast<LPWSTR>(GlobalAlloc(GMEM_FIXED, chars * sizeof(WCHAR)));
  if (copy != nullptr) lstrcpyW(copy, name);
  return copy;
}

int EstimateOverlayRecordSize(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  LPWSTR name = OverlayFileName(pdev);
  if (name == nullptr) return 0;
  GlobalFree(name);
  std::string ansi;
  if (!OverlayAnsiName(pdev, &ansi)) return -1;
  return kOverlayRecordFixed + static_cast<int>(ansi.size());
}

int WriteOverlayNameRecord(Pdev* pdev, BYTE* buffer, DWORD capacity) {
  if (pdev == nullptr || buffer == nullptr) return -1;
  LPWSTR name = OverlayFileName(pdev);
  if (name == nullptr) return 0;
  GlobalFree(name);
  std::string ansi;
  if (!OverlayAnsiName(pdev, &ansi) || ansi.size() > 0xFFFF) return -1;
  RecordWriter w{buffer, capacity, 0, true};
  PutOpcode(&w, kDlOverlayName);
  PutU16(&w, static_cast<WORD>(ansi.size()));
  PutBytes(&w, ansi.data(), static_cast<DWORD>(ansi.size()));
  for (float v : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) PutFloat(&w, v);
  PutByte(&w, 0);
  return w.fits ? static_cast<int>(w.length) : -1;
}

HANDLE OpenDriverDataFile(Pdev* pdev) {
  if (pdev == nullptr || pdev->database == nullptr) return INVALID_HANDLE_VALUE;
  LPWSTR directory = GetDriverDirectory(pdev->printer);
  LPWSTR name = nullptr;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (directory != nullptr && ReadSectionString(pdev->database, kDataFileSection, 0, &name) == kDbOk &&
      name != nullptr) {
    const std::u16string path = std::u16string(directory) + name;
    file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (name != nullptr) ReleaseGlobalBlock(name);
  if (directory != nullptr) GlobalFree(directory);
  return file;
}

int ReadFileBytes(HANDLE file, int n, BYTE* buffer) {
  if (file == nullptr || file == INVALID_HANDLE_VALUE) return -1;
  if (n < 0 || buffer == nullptr) {
    CloseHandle(file);
    return -1;
  }
  DWORD total = 0;
  while (total < static_cast<DWORD>(n)) {
    const DWORD want = static_cast<DWORD>(n) - total < kReadStep ? static_cast<DWORD>(n) - total : kReadStep;
    DWORD got = 0;
    if (!ReadFile(file, buffer + total, want, &got, nullptr)) {
      CloseHandle(file);
      return -1;
    }
    if (got == 0) break;
    total += got;
  }
  if (total == 0) CloseHandle(file);
  return static_cast<int>(total);
}
