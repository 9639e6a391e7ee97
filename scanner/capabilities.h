// Capability negotiation: the 25 capabilities of CAP_SUPPORTEDCAPS, each described by a
// CapabilityDescriptor and answered by one common routine from it.
#pragma once

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/image_record.h"

constexpr DWORD kMaxCapabilityItems = 32;

struct CapabilityDescriptor {
  TW_UINT16 Message;
  TW_CAPABILITY* Container;
  TW_UINT16 ItemType;
  TW_UINT16 GetKind;   // TWON_ container built for MSG_GET
  WORD SetKinds;       // containers MSG_SET accepts: 1 array, 2 enumeration, 4 one value, 8 range
  WORD Operations;     // TWQC_ bits
  float Items[kMaxCapabilityItems];  // a range: minimum, maximum, step
  DWORD ItemCount;
  float Default;
  float Current;       // in: the current value; out: the value set or reset
};

// Set kinds.
constexpr WORD kSetArray = 1;
constexpr WORD kSetEnumeration = 2;
constexpr WORD kSetOneValue = 4;
constexpr WORD kSetRange = 8;

// Operation masks.
constexpr WORD kOpsAll = 31;
constexpr WORD kOpsAllButReset = 15;
constexpr WORD kOpsReadOnly = 13;

// Selects the capability's handler: TWRC_SUCCESS or TWRC_FAILURE with the condition set.
TW_UINT16 DispatchCapability(TW_CAPABILITY& request, TW_UINT16 message, ImageRecord& record);
TW_UINT16 HandleCapabilityMessage(CapabilityDescriptor& descriptor);

// TW_FIX32 of a value: value x 65536 + 0.5, truncated; and back.
TW_FIX32 FloatToFix32(float value);
float Fix32ToFloat(TW_FIX32 value);
