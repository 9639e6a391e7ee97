// Saving and loading the settings blobs in their three places.
#include "core/persist/settings_blobs.h"

#include <cstring>
#include <string>

#include "core/persist/blob_format.h"
#include "core/persist/file_block.h"
#include "core/persist/model_defaults.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "items/setting_records.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kExtensionValue[] = u"N_Dev";
constexpr WCHAR kExtensionSizeValue[] = u"N_DevSize";
constexpr WCHAR kTmbInfoValue[] = u"TMBInfo";
constexpr WCHAR kTmbInfoSizeValue[] = u"TMBInfoSize";

// A whole value in the store kind; the per-user form also keeps its size value.
int WriteBlobValue(HANDLE printer, WORD storeKind, LPCWSTR name, LPCWSTR sizeName, const BYTE* data, DWORD size) {
  if (storeKind == kBlobStorePrinterData) return WriteChunkedPrinterData(printer, name, data, size) == 1 ? 1 : 0;
  if (storeKind != kBlobStorePerUser) return 0;
  return WriteUserValue(printer, &size, sizeof size, REG_DWORD, nullptr, sizeName) &&
         WriteUserValue(printer, data, size, REG_BINARY, nullptr, name);
}

// A new block with the stored value. The per-user form is read by the size the registry gives
// for the value itself, whatever its size value says.
int ReadBlobValue(HANDLE printer, WORD storeKind, LPCWSTR name, BYTE** block, DWORD* size) {
  *block = nullptr;
  if (storeKind == kBlobStorePrinterData) return ReadChunkedPrinterData(printer, name, size, block, FALSE) == 1 ? 1 : 0;
  if (storeKind != kBlobStorePerUser) return 0;
  return ReadUserValueAlloc(printer, REG_BINARY, nullptr, name, block, size) == kUserValueRead ? 1 : 0;
}

// Builds extension blob + TMBINFO blob + fax record as one block.
BYTE* BuildBlobFile(const BYTE* extension, const BYTE* tmbInfo, DWORD tmbInfoSize, const BYTE* fax, DWORD faxSize,
                    DWORD* size) {
  const DWORD total = kExtensionBlobHeaderSize + kSettingsExtensionSize + kTmbInfoBlobHeaderSize + tmbInfoSize + faxSize;
  BYTE* block = static_cast<BYTE*>(GlobalAlloc(GPTR, total));
  if (block == nullptr) return nullptr;
  BYTE* p = block;
  WriteExtensionBlobHeader(p);
  std::memcpy(p + kExtensionBlobHeaderSize, extension, kSettingsExtensionSize);
  p += kExtensionBlobHeaderSize + kSettingsExtensionSize;
  WriteTmbInfoBlobHeader(p, tmbInfoSize);
  if (tmbInfoSize > 0) std::memcpy(p + kTmbInfoBlobHeaderSize, tmbInfo, tmbInfoSize);
  p += kTmbInfoBlobHeaderSize + tmbInfoSize;
  if (faxSize > 0) std::memcpy(p, fax, faxSize);
  *size = total;
  return block;
}

// Replaces an existing side file with the whole block (a missing file fails). The block goes
// to a new file beside it first, which replaces the old one only once it is written whole: a
// write that fails part-way leaves the previous blobs as they were.
int WriteBlobFile(LPCWSTR fileName, const BYTE* block, DWORD size) {
  if (GetFileAttributesW(fileName) == INVALID_FILE_ATTRIBUTES) return 0;
  const std::u16string staging = std::u16string(fileName) + u".new";
  HANDLE file =
      CreateFileW(staging.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  const bool ok = WriteFileBlock(file, block, size) == size;
  if (!CloseHandle(file) || !ok || !MoveFileExW(staging.c_str(), fileName, MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(staging.c_str());
    return 0;
  }
  return 1;
}

// Reads a whole side file into a new block.
BYTE* ReadWholeFile(LPCWSTR fileName, DWORD* size) {
  HANDLE file = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD high = 0;
  const DWORD length = GetFileSize(file, &high);
  BYTE* block = nullptr;
  if (length != INVALID_FILE_SIZE && high == 0 && length > 0 && length <= kMaxBlobFileSize) {
    block = static_cast<BYTE*>(GlobalAlloc(GPTR, length));
    DWORD read = 0;
    if (block != nullptr && (!ReadFile(file, block, length, &read, nullptr) || read != length)) {
      GlobalFree(block);
      block = nullptr;
    }
  }
  CloseHandle(file);
  if (block != nullptr) *size = length;
  return block;
}

// Unpacks the extension blob at *cursor; an extension that needs the model's defaults gets
// them only when a printer is given.
int UnpackExtension(HANDLE printer, const BYTE* data, DWORD size, DWORD* cursor, BYTE* extension) {
  if (!ExtensionBlobNeedsDefaults(data, size, *cursor)) return ParseExtensionBlob(data, size, cursor, extension, nullptr);
  if (printer == nullptr) return 0;
  BYTE* defaults = static_cast<BYTE*>(GlobalAlloc(GPTR, kSettingsExtensionSize));
  const int result = defaults != nullptr && LoadDefaultExtension(printer, defaults)
                         ? ParseExtensionBlob(data, size, cursor, extension, defaults)
                         : 0;
  GlobalFree(defaults);
  return result;
}

struct LoadedBlobs {
  BYTE* fax = nullptr;
  BYTE* tmbInfo = nullptr;
  DWORD tmbInfoSize = 0;
};

// From a side file: the extension (a version older than this release is refused; one of this
// release that holds fewer bytes takes the rest from the printer's model), the TMBINFO blob,
// then the fax record when asked for and present.
int UnpackBlobFile(HANDLE printer, const BYTE* data, DWORD size, BYTE* extension, bool wantFax, bool wantTmb,
                   LoadedBlobs* out) {
  DWORD cursor = 0;
  DWORD version = 0, length = 0;
  if (!PeekExtensionBlobHeader(data, size, cursor, &version, &length) || version < kExtensionBlobVersion) return 0;
  BYTE ext[kSettingsExtensionSize];
  if (!UnpackExtension(printer, data, size, &cursor, ext)) return 0;
  BYTE* tmb = nullptr;
  DWORD tmbSize = 0;
  if (!ParseTmbInfoBlob(data, size, &cursor, &tmb, &tmbSize)) return 0;
  DWORD faxSize = 0;
  if (wantFax && cursor < size && !ParseFaxSendListBlob(data, size, cursor, &out->fax, &faxSize)) {
    GlobalFree(tmb);
    return 0;
  }
  if (wantTmb) {
    out->tmbInfo = tmb;
    out->tmbInfoSize = tmbSize;
  } else {
    GlobalFree(tmb);
  }
  std::memcpy(extension, ext, sizeof ext);
  return 1;
}

// From printer data or the per-user key: "N_Dev" (extension, then the fax record when asked
// for and present) and, when asked, "TMBInfo".
int UnpackStoredBlobs(HANDLE printer, WORD storeKind, BYTE* extension, bool wantFax, bool wantTmb, LoadedBlobs* out) {
  BYTE* block = nullptr;
  DWORD size = 0;
  if (!ReadBlobValue(printer, storeKind, kExtensionValue, &block, &size)) return 0;
  BYTE ext[kSettingsExtensionSize];
  DWORD cursor = 0;
  DWORD faxSize = 0;
  int ok = UnpackExtension(printer, block, size, &cursor, ext);
  if (ok && wantFax && cursor < size) ok = ParseFaxSendListBlob(block, size, cursor, &out->fax, &faxSize);
  GlobalFree(block);
  if (ok && wantTmb) {
    ok = ReadBlobValue(printer, storeKind, kTmbInfoValue, &block, &size);
    cursor = 0;
    if (ok) ok = ParseTmbInfoBlob(block, size, &cursor, &out->tmbInfo, &out->tmbInfoSize);
    GlobalFree(block);
  }
  if (ok) std::memcpy(extension, ext, sizeof ext);
  return ok;
}

}  // namespace

int SaveDeviceBlobs(HANDLE printer, LPCWSTR fileName, WORD storeKind, const BYTE* fax, WORD faxSize,
                    const BYTE* extension, const BYTE* tmbInfo, DWORD tmbInfoSize) {
  if (extension == nullptr || (tmbInfo != nullptr && tmbInfoSize == 0) || (fax != nullptr && faxSize == 0)) return 0;
  if (tmbInfo == nullptr) tmbInfoSize = 0;
  if (tmbInfoSize > kMaxBlobFileSize) return 0;  // no store holds more, and the sizes stay in range
  const DWORD faxBytes = fax != nullptr ? faxSize : 0;
  if (fileName != nullptr) {
    DWORD size = 0;
    BYTE* block = BuildBlobFile(extension, tmbInfo, tmbInfoSize, fax, faxBytes, &size);
    // A side file the loader would refuse is not written.
    const int result = block != nullptr && size <= kMaxBlobFileSize && WriteBlobFile(fileName, block, size);
    GlobalFree(block);
    return result;
  }
  if (printer == nullptr || (storeKind != kBlobStorePrinterData && storeKind != kBlobStorePerUser)) return 0;
  const DWORD extSize = kExtensionBlobHeaderSize + kSettingsExtensionSize + faxBytes;
  BYTE* ext = static_cast<BYTE*>(GlobalAlloc(GPTR, extSize));
  BYTE* tmb = static_cast<BYTE*>(GlobalAlloc(GPTR, kTmbInfoBlobHeaderSize + tmbInfoSize));
  int result = 0;
  if (ext != nullptr && tmb != nullptr) {
    WriteExtensionBlobHeader(ext);
    std::memcpy(ext + kExtensionBlobHeaderSize, extension, kSettingsExtensionSize);
    if (faxBytes > 0) std::memcpy(ext + kExtensionBlobHeaderSize + kSettingsExtensionSize, fax, faxBytes);
    WriteTmbInfoBlobHeader(tmb, tmbInfoSize);
    if (tmbInfoSize > 0) std::memcpy(tmb + kTmbInfoBlobHeaderSize, tmbInfo, tmbInfoSize);
    result = WriteBlobValue(printer, storeKind, kExtensionValue, kExtensionSizeValue, ext, extSize) &&
             WriteBlobValue(printer, storeKind, kTmbInfoValue, kTmbInfoSizeValue, tmb,
                            kTmbInfoBlobHeaderSize + tmbInfoSize);
  }
  GlobalFree(ext);
  GlobalFree(tmb);
  return result;
}

int LoadDeviceBlobs(HANDLE printer, LPCWSTR fileName, WORD storeKind, BYTE** fax, BYTE* extension, BYTE** tmbInfo,
                    DWORD* tmbInfoSize) {
  if (fax != nullptr) *fax = nullptr;
  if (tmbInfo != nullptr) *tmbInfo = nullptr;
  if (tmbInfoSize != nullptr) *tmbInfoSize = 0;
  if (extension == nullptr || (tmbInfo != nullptr && tmbInfoSize == nullptr)) return 0;
  LoadedBlobs loaded;
  int result = 0;
  if (fileName != nullptr) {
    DWORD size = 0;
    BYTE* data = ReadWholeFile(fileName, &size);
    if (data != nullptr)
      result = UnpackBlobFile(printer, data, size, extension, fax != nullptr, tmbInfo != nullptr, &loaded);
    GlobalFree(data);
  } else if (printer != nullptr) {
    result = UnpackStoredBlobs(printer, storeKind, extension, fax != nullptr, tmbInfo != nullptr, &loaded);
  }
  if (!result) {
    GlobalFree(loaded.fax);
    GlobalFree(loaded.tmbInfo);
    return 0;
  }
  if (fax != nullptr) *fax = loaded.fax;
  if (tmbInfo != nullptr) {
    *tmbInfo = loaded.tmbInfo;
    *tmbInfoSize = loaded.tmbInfoSize;
  }
  return 1;
}
