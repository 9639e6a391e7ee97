// Printer data: named, typed values per printer, grouped by key. SetPrinterDataW and its kin
// work in the driver data key. Writes and deletions need a handle with administer access.
#include <algorithm>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/base/text.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler_state.h"

using namespace spooler;

namespace {

DataValue* FindValue(Printer& printer, std::u16string_view key, std::u16string_view name) {
  for (DataValue& value : printer.data)
    if (EqualNoCase(value.key, key) && EqualNoCase(value.name, name)) return &value;
  return nullptr;
}

void StoreValue(Printer& printer, std::u16string_view key, std::u16string_view name, DWORD type,
                std::span<const BYTE> data) {
  DataValue* value = FindValue(printer, key, name);
  if (!value) {
    printer.data.push_back({std::u16string(key), std::u16string(name), type, {}});
    value = &printer.data.back();
  }
  value->type = type;
  value->data.assign(data.begin(), data.end());
}

// The common start of every printer-data call: injected failure, then the handle.
DWORD EnterDataCall(State& state, const char* function, HANDLE hPrinter, Handle** handle) {
  if (SimCallFails(function)) return GetLastError();
  *handle = FindHandle(state, hPrinter);
  return *handle ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

DWORD GetData(const char* function, HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
              LPDWORD pcbNeeded) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = nullptr;
  if (DWORD error = EnterDataCall(state, function, hPrinter, &handle)) return error;
  if (!pcbNeeded || (!pData && nSize)) return ERROR_INVALID_PARAMETER;
  DataValue* value = FindValue(*handle->printer, FromWide(pKeyName), FromWide(pValueName));
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (pType) *pType = value->type;
  *pcbNeeded = static_cast<DWORD>(value->data.size());
  if (nSize < value->data.size()) return ERROR_MORE_DATA;
  if (!value->data.empty()) std::memcpy(pData, value->data.data(), value->data.size());
  return ERROR_SUCCESS;
}

DWORD SetData(const char* function, HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type, const BYTE* pData, DWORD cbData) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = nullptr;
  if (DWORD error = EnterDataCall(state, function, hPrinter, &handle)) return error;
  if (!(handle->access & PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
  if (!pKeyName || !*pKeyName || (!pData && cbData)) return ERROR_INVALID_PARAMETER;
  StoreValue(*handle->printer, pKeyName, FromWide(pValueName), Type, {pData, cbData});
  return ERROR_SUCCESS;
}

}  // namespace

DWORD GetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                      LPDWORD pcbNeeded) {
  return GetData("GetPrinterDataW", hPrinter, SPLDS_DRIVER_DATA_KEY, pValueName, pType, pData, nSize, pcbNeeded);
}

DWORD GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData,
                        DWORD nSize, LPDWORD pcbNeeded) {
  if (!pKeyName || !*pKeyName) return ERROR_INVALID_PARAMETER;
  return GetData("GetPrinterDataExW", hPrinter, pKeyName, pValueName, pType, pData, nSize, pcbNeeded);
}

DWORD SetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, DWORD Type, const BYTE* pData, DWORD cbData) {
  return SetData("SetPrinterDataW", hPrinter, SPLDS_DRIVER_DATA_KEY, pValueName, Type, pData, cbData);
}

DWORD SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type, const BYTE* pData,
                        DWORD cbData) {
  return SetData("SetPrinterDataExW", hPrinter, pKeyName, pValueName, Type, pData, cbData);
}

DWORD DeletePrinterDataW(HANDLE hPrinter, LPCWSTR pValueName) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = nullptr;
  if (DWORD error = EnterDataCall(state, "DeletePrinterDataW", hPrinter, &handle))
    return error;
  if (!(handle->access & PRINTER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
  auto& data = handle->printer->data;
  std::u16string name = FromWide(pValueName);
  auto it = std::find_if(data.begin(), data.end(), [&](const DataValue& value) {
    return EqualNoCase(value.key, SPLDS_DRIVER_DATA_KEY) && EqualNoCase(value.name, name);
  });
  if (it == data.end()) return ERROR_FILE_NOT_FOUND;
  data.erase(it);
  return ERROR_SUCCESS;
}

DWORD EnumPrinterDataW(HANDLE hPrinter, DWORD dwIndex, LPWSTR pValueName, DWORD cbValueName, LPDWORD pcbValueName,
                       LPDWORD pType, LPBYTE pData, DWORD cbData, LPDWORD pcbData) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = nullptr;
  if (DWORD error = EnterDataCall(state, "EnumPrinterDataW", hPrinter, &handle)) return error;
  if (!pcbValueName || !pcbData || (!pValueName && cbValueName) || (!pData && cbData)) return ERROR_INVALID_PARAMETER;
  std::vector<const DataValue*> values;
  for (const DataValue& value : handle->printer->data)
    if (EqualNoCase(value.key, SPLDS_DRIVER_DATA_KEY)) values.push_back(&value);
  if (cbValueName == 0 && cbData == 0) {
    if (values.empty()) return ERROR_NO_MORE_ITEMS;
    DWORD nameBytes = 0, dataBytes = 0;
    for (const DataValue* value : values) {
      nameBytes = std::max(nameBytes, static_cast<DWORD>((value->name.size() + 1) * sizeof(WCHAR)));
      dataBytes = std::max(dataBytes, static_cast<DWORD>(value->data.size()));
    }
    *pcbValueName = nameBytes;
    *pcbData = dataBytes;
    return ERROR_SUCCESS;
  }
  if (dwIndex >= values.size()) return ERROR_NO_MORE_ITEMS;
  const DataValue& value = *values[dwIndex];
  DWORD nameBytes = static_cast<DWORD>((value.name.size() + 1) * sizeof(WCHAR));
  *pcbValueName = nameBytes;
  *pcbData = static_cast<DWORD>(value.data.size());
  if (cbValueName < nameBytes || cbData < value.data.size()) return ERROR_MORE_DATA;
  std::memcpy(pValueName, value.name.c_str(), nameBytes);
  if (!value.data.empty()) std::memcpy(pData, value.data.data(), value.data.size());
  if (pType) *pType = value.type;
  return ERROR_SUCCESS;
}

BOOL SimSeedPrinterData(LPCWSTR printerName, LPCWSTR keyName, LPCWSTR valueName, DWORD type,
                        std::span<const BYTE> data) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  auto printer = printerName ? FindPrinter(state, printerName) : nullptr;
  if (!printer) return FALSE;
  StoreValue(*printer, keyName ? keyName : SPLDS_DRIVER_DATA_KEY, FromWide(valueName), type, data);
  return TRUE;
}

bool SimReadPrinterData(LPCWSTR printerName, LPCWSTR keyName, LPCWSTR valueName, DWORD& type,
                        std::vector<BYTE>& data) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  auto printer = printerName ? FindPrinter(state, printerName) : nullptr;
  const DataValue* value =
      printer ? FindValue(*printer, keyName ? keyName : SPLDS_DRIVER_DATA_KEY, FromWide(valueName)) : nullptr;
  if (!value) return false;
  type = value->type;
  data = value->data;
  return true;
}

namespace {

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string DumpValue(const DataValue& value) {
  char text[32];
  std::string line = value.name.empty() ? "@" : "\"" + ToUtf8(value.name) + "\"";
  if (value.type == REG_DWORD && value.data.size() == 4) {
    DWORD number;
    std::memcpy(&number, value.data.data(), 4);
    std::snprintf(text, sizeof text, "0x%08x", number);
    return line + " = REG_DWORD " + text;
  }
  if (value.type == REG_SZ && value.data.size() % 2 == 0) {
    std::u16string string(value.data.size() / 2, u'\0');
    std::memcpy(string.data(), value.data.data(), value.data.size());
    if (auto end = string.find(u'\0'); end != std::u16string::npos) string.resize(end);
    return line + " = REG_SZ \"" + ToUtf8(string) + "\"";
  }
  static constexpr const char* kTypeNames[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"};
  if (value.type < std::size(kTypeNames)) {
    line += std::string(" = ") + kTypeNames[value.type];
  } else {
    std::snprintf(text, sizeof text, " = type %u", value.type);
    line += text;
  }
  for (BYTE b : value.data) {
    std::snprintf(text, sizeof text, " %02x", b);
    line += text;
  }
  return line;
}

}  // namespace

std::string SimDumpPrinterData(LPCWSTR printerName) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  auto printer = printerName ? FindPrinter(state, printerName) : nullptr;
  if (!printer) return {};
  std::vector<std::u16string> keys;
  for (const DataValue& value : printer->data)
    if (std::none_of(keys.begin(), keys.end(), [&](const auto& key) { return EqualNoCase(key, value.key); }))
      keys.push_back(value.key);
  std::sort(keys.begin(), keys.end(), [](const std::u16string& a, const std::u16string& b) {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
  });
  std::string out;
  for (const std::u16string& key : keys) {
    out += "[" + ToUtf8(key) + "]\n";
    for (const DataValue& value : printer->data)
      if (EqualNoCase(value.key, key)) out += DumpValue(value) + "\n";
  }
  return out;
}
