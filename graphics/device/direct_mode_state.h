// The applications' direct-mode state the device record keeps: whether it is on, the running
// image transfer and the layout and colour overrides with the settings they replaced.
#pragma once

#include "platform/base/types.h"

// The layout items an application may override, in the order their overrides are kept.
constexpr int kDirectOverrideItems = 5;  // items 295, 264, 294, 321, 296
constexpr int kDirectSavedItems = 7;     // items 295, 264, 294, 321, 296, 16, 270
constexpr SHORT kNoOverride = -1;
constexpr WORD kNoColorOverride = 0xFFFF;
constexpr WORD kMaxTransferId = 0x3FFF;

struct DirectModeState {
  DWORD on;
  DWORD version;      // the job's output stream version, against which features are checked
  DWORD item4103;     // the flag of item 4103
  DWORD modelFlag;    // 1 when the model offers the colour override
  WORD transferCounter;
  WORD transferId;    // the running transfer, 0 none
  DWORD expected;     // bytes of the running transfer
  DWORD received;
  SHORT overrides[kDirectOverrideItems];  // kNoOverride for none
  SHORT duplexOverride;                   // kNoOverride, 1 simplex, 2 long edge, 3 short edge
  WORD colorOverride;                     // 0 automatic, 1 monochrome, 2 colour
  DWORD overrideSwitch;                   // 1 while the colour override is in force
  DWORD saved;                            // 1 while savedValues hold overridden settings
  WORD savedValues[kDirectSavedItems];
};
