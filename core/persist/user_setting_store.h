// The per-user part of the printer configuration (UserSettingInfo, 980 bytes): built from and
// applied to a PrinterConfiguration, kept in the per-user key or in printer data, and its
// neutral values.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

// Store kinds: 0 both field blocks in the per-user key; 1 keeps the stored first block and
// applies only the second; 2 keeps the stored second block and applies only the first; 3 the
// copy in printer data.
inline constexpr WORD kUserInfoBoth = 0;
inline constexpr WORD kUserInfoKeepFirst = 1;
inline constexpr WORD kUserInfoKeepSecond = 2;
inline constexpr WORD kUserInfoPrinterData = 3;

// Resource string of the neutral user and account names.
inline constexpr UINT kNeutralUserNameString = 5052;

int ExtractUserSettingInfo(HANDLE printer, PrinterConfiguration* config, BYTE* info);
int ApplyUserSettingInfo(PrinterConfiguration* config, const BYTE* info, WORD kind);
int SaveUserSettingInfo(HANDLE printer, BYTE* info, WORD kind);
// userBase: the model's per-user base text when the caller has it at hand (else it is read).
int LoadUserSettingInfo(HANDLE printer, BYTE* info, WORD kind, LPCWSTR userBase = nullptr);
int FillDefaultUserSettingInfo(BYTE* info);
