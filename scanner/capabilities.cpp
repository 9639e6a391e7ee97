// The capabilities: containers built for the application, values checked and applied, and one
// handler per capability that describes it.
#include "scanner/capabilities.h"

#include <cmath>
#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/twain/twain.h"
#include "platform/base/byte_order.h"
#include "scanner/connection.h"
#include "scanner/device.h"
#include "scanner/scan_run.h"

namespace {

// Offsets inside the containers (the interface's 2-byte packing).
constexpr DWORD kOneValueItem = 2;
constexpr DWORD kListCount = 2;
constexpr DWORD kArrayItems = 6;
constexpr DWORD kEnumCurrentIndex = 6;
constexpr DWORD kEnumDefaultIndex = 10;
constexpr DWORD kEnumItems = 14;
constexpr DWORD kRangeBytes = 22;

DWORD ItemSize(TW_UINT16 type) {
  switch (type) {
    case TWTY_INT8:
    case TWTY_UINT8:
      return 1;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32:
      return 4;
    case TWTY_FRAME:
      return 16;
    case TWTY_STR32:
    case TWTY_STR64:
    case TWTY_STR128:
    case TWTY_STR255:
      return 34;
    default:
      return 2;
  }
}

void PutValue(BYTE* p, TW_UINT16 type, float value) {
  switch (type) {
    case TWTY_UINT32:
      PutLE32(p, static_cast<DWORD>(value));
      break;
    case TWTY_FIX32: {
      const TW_FIX32 fix = FloatToFix32(value);
      PutLE16(p, static_cast<WORD>(fix.Whole));
      PutLE16(p + 2, fix.Frac);
      break;
    }
    default:
      PutLE16(p, static_cast<WORD>(static_cast<SHORT>(value)));
      break;
  }
}

float GetValue(const BYTE* p, TW_UINT16 type) {
  switch (type) {
    case TWTY_INT16:
      return static_cast<SHORT>(GetLE16(p));
    case TWTY_UINT32:
      return static_cast<float>(GetLE32(p));
    case TWTY_FIX32:
      return Fix32ToFloat({static_cast<TW_INT16>(GetLE16(p)), GetLE16(p + 2)});
    default:
      return GetLE16(p);
  }
}

// A new movable container of `bytes`, locked; null with TWCC_LOWMEMORY.
BYTE* NewContainer(CapabilityDescriptor& d, TW_UINT16 conType, DWORD bytes, HGLOBAL* handle) {
  *handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  BYTE* p = *handle != nullptr ? static_cast<BYTE*>(GlobalLock(*handle)) : nullptr;
  if (p == nullptr) {
    if (*handle != nullptr) GlobalFree(*handle);
    SetConditionCode(TWCC_LOWMEMORY);
    return nullptr;
  }
  d.Container->ConType = conType;
  return p;
}

TW_UINT16 Hand(CapabilityDescriptor& d, HGLOBAL handle) {
  GlobalUnlock(handle);
  d.Container->hContainer = handle;
  return TWRC_SUCCESS;
}

TW_UINT16 BuildOneValue(CapabilityDescriptor& d, TW_UINT16 type, float value) {
  HGLOBAL h;
  BYTE* p = NewContainer(d, TWON_ONEVALUE, ItemSize(type) + 6, &h);
  if (p == nullptr) return TWRC_FAILURE;
  PutLE16(p, type);
  PutValue(p + kOneValueItem, type, value);
  return Hand(d, h);
}

TW_UINT16 BuildArray(CapabilityDescriptor& d) {
  if (d.ItemType != TWTY_UINT16) return RefuseRequest(TWCC_CAPSEQERROR);
  HGLOBAL h;
  BYTE* p = NewContainer(d, TWON_ARRAY, ItemSize(d.ItemType) * d.ItemCount + 7, &h);
  if (p == nullptr) return TWRC_FAILURE;
  PutLE16(p, d.ItemType);
  PutLE32(p + kListCount, d.ItemCount);
  for (DWORD i = 0; i < d.ItemCount; ++i) PutValue(p + kArrayItems + 2 * i, d.ItemType, d.Items[i]);
  return Hand(d, h);
}

// Index of a value among the descriptor's items, or -1.
LONG FindCapabilityItem(const CapabilityDescriptor& d, float value) {
  for (DWORD i = 0; i < d.ItemCount; ++i)
    if (d.Items[i] == value) return static_cast<LONG>(i);
  return -1;
}

TW_UINT16 BuildEnumeration(CapabilityDescriptor& d) {
  if (d.ItemType != TWTY_UINT16) return RefuseRequest(TWCC_CAPSEQERROR);
  const LONG current = FindCapabilityItem(d, d.Current);
  const LONG byDefault = FindCapabilityItem(d, d.Default);
  if (current < 0 || byDefault < 0) return RefuseRequest(TWCC_CAPBADOPERATION);
  HGLOBAL h;
  BYTE* p = NewContainer(d, TWON_ENUMERATION, ItemSize(d.ItemType) * d.ItemCount + 15, &h);
  if (p == nullptr) return TWRC_FAILURE;
  PutLE16(p, d.ItemType);
  PutLE32(p + kListCount, d.ItemCount);
  PutLE32(p + kEnumCurrentIndex, static_cast<DWORD>(current));
  PutLE32(p + kEnumDefaultIndex, static_cast<DWORD>(byDefault));
  for (DWORD i = 0; i < d.ItemCount; ++i) PutValue(p + kEnumItems + 2 * i, d.ItemType, d.Items[i]);
  return Hand(d, h);
}

TW_UINT16 BuildRange(CapabilityDescriptor& d) {
  if (d.ItemType != TWTY_FIX32 || d.ItemCount < 3) return RefuseRequest(TWCC_BUMMER);
  HGLOBAL h;
  BYTE* p = NewContainer(d, TWON_RANGE, kRangeBytes, &h);
  if (p == nullptr) return TWRC_FAILURE;
  PutLE16(p, TWTY_FIX32);
  const float values[5] = {d.Items[0], d.Items[1], d.Items[2], d.Default, d.Current};
  for (int i = 0; i < 5; ++i) PutValue(p + 2 + 4 * i, TWTY_FIX32, values[i]);
  return Hand(d, h);
}

// The value an application's container sets, checked against the source's items: TWRC_SUCCESS
// with *value, or a refusal. Every count and index is checked against the container's real
// size; an empty list sets nothing.
TW_UINT16 CheckSetValue(CapabilityDescriptor& d, float* value) {
  HGLOBAL h = d.Container->hContainer;
  const SIZE_T size = h != nullptr ? GlobalSize(h) : 0;
  const BYTE* p = h != nullptr ? static_cast<const BYTE*>(GlobalLock(h)) : nullptr;
  if (p == nullptr) return RefuseRequest(TWCC_LOWMEMORY);
  struct Unlock {
    HGLOBAL h;
    ~Unlock() { GlobalUnlock(h); }
  } unlock{h};

  const TW_UINT16 conType = d.Container->ConType;
  const WORD bit = conType == TWON_ARRAY         ? kSetArray
                   : conType == TWON_ENUMERATION ? kSetEnumeration
                   : conType == TWON_ONEVALUE    ? kSetOneValue
                   : conType == TWON_RANGE       ? kSetRange
                                                 : 0;
  if (bit == 0 || !(d.SetKinds & bit)) return RefuseRequest(TWCC_BADCAP);
  if (size < 2 || GetLE16(p) != d.ItemType) return RefuseRequest(TWCC_BADVALUE);
  const DWORD item = ItemSize(d.ItemType);
  switch (conType) {
    case TWON_ONEVALUE:
      if (size < kOneValueItem + item) return RefuseRequest(TWCC_BADVALUE);
      *value = GetValue(p + kOneValueItem, d.ItemType);
      break;
    case TWON_RANGE:
      if (size < kRangeBytes) return RefuseRequest(TWCC_BADVALUE);
      *value = GetValue(p + 18, d.ItemType);
      break;
    case TWON_ARRAY: {
      if (size < kArrayItems) return RefuseRequest(TWCC_BADVALUE);
      const DWORD count = GetLE32(p + kListCount);
      if (count == 0 || count > (size - kArrayItems) / item) return RefuseRequest(TWCC_BADVALUE);
      *value = GetValue(p + kArrayItems, d.ItemType);
      break;
    }
    default: {  // enumeration
      if (size < kEnumItems) return RefuseRequest(TWCC_BADVALUE);
      const DWORD count = GetLE32(p + kListCount);
      const DWORD index = GetLE32(p + kEnumCurrentIndex);
      if (count == 0 || count > (size - kEnumItems) / item || index >= count) return RefuseRequest(TWCC_BADVALUE);
      *value = GetValue(p + kEnumItems + static_cast<ULONGLONG>(index) * item, d.ItemType);
      break;
    }
  }
  switch (d.GetKind) {
    case TWON_ENUMERATION:
    case TWON_ONEVALUE:
      if (FindCapabilityItem(d, *value) < 0) return RefuseRequest(TWCC_BADVALUE);
      break;
    case TWON_RANGE: {
      if (d.ItemCount < 3 || (d.ItemType != TWTY_UINT16 && d.ItemType != TWTY_FIX32))
        return RefuseRequest(TWCC_BADVALUE);
      if (*value < d.Items[0] || *value > d.Items[1]) return RefuseRequest(TWCC_BADVALUE);
      if (d.Items[2] != 0 && std::fmod(*value, d.Items[2]) != 0) return RefuseRequest(TWCC_BADVALUE);
      break;
    }
    case TWON_ARRAY:
      return RefuseRequest(TWCC_BADVALUE);
    default:
      break;
  }
  // A range container sets only values of a range capability's type.
  if (conType == TWON_RANGE && d.ItemType != TWTY_FIX32) return RefuseRequest(TWCC_BADCAP);
  if (conType == TWON_ARRAY) return RefuseRequest(TWCC_BADCAP);  // an array sets nothing
  return TWRC_SUCCESS;
}

}  // namespace

TW_FIX32 FloatToFix32(float value) {
  const LONG n = static_cast<LONG>(value * 65536.0f + 0.5f);
  return {static_cast<TW_INT16>(n >> 16), static_cast<TW_UINT16>(n & 0xFFFF)};
}

float Fix32ToFloat(TW_FIX32 value) { return static_cast<float>(value.Whole) + static_cast<float>(value.Frac) / 65536.0f; }

TW_UINT16 HandleCapabilityMessage(CapabilityDescriptor& d) {
  WORD needed = 0;
  switch (d.Message) {
    case MSG_GET:
      needed = TWQC_GET;
      break;
    case MSG_GETCURRENT:
      needed = TWQC_GETCURRENT;
      break;
    case MSG_GETDEFAULT:
      needed = TWQC_GETDEFAULT;
      break;
    case MSG_SET:
      needed = TWQC_SET;
      break;
    case MSG_RESET:
      needed = TWQC_RESET;
      break;
    default:
      break;
  }
  if (needed != 0 && !(d.Operations & needed)) return RefuseRequest(TWCC_CAPBADOPERATION);
  switch (d.Message) {
    case MSG_GET:
      switch (d.GetKind) {
        case TWON_ARRAY:
          return BuildArray(d);
        case TWON_ENUMERATION:
          return BuildEnumeration(d);
        case TWON_RANGE:
          return BuildRange(d);
        default:
          return BuildOneValue(d, d.ItemType, d.Current);
      }
    case MSG_GETCURRENT:
      return BuildOneValue(d, d.ItemType, d.Current);
    case MSG_GETDEFAULT:
      return BuildOneValue(d, d.ItemType, d.Default);
    case MSG_QUERYSUPPORT:
      return BuildOneValue(d, TWTY_UINT32, d.Operations);
    case MSG_SET: {
      float value = 0;
      const TW_UINT16 checked = CheckSetValue(d, &value);
      if (checked != TWRC_SUCCESS) return checked;
      // The application's own validated value is taken (its list need not be the source's).
      d.Current = value;
      return TWRC_SUCCESS;
    }
    case MSG_RESET:
      d.Current = d.Default;
      SetConditionCode(TWCC_SUCCESS);
      return TWRC_SUCCESS;
    default:
      return RefuseRequest(TWCC_BADPROTOCOL);
  }
}
