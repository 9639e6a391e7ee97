// Numbers of the data source's texts (its string table; the companion text library can
// replace each of them).
#pragma once

#include "platform/base/types.h"

constexpr UINT kTextNoConnection = 1061;
constexpr UINT kTextDeviceCaption = 1062;
constexpr UINT kTextRegistryKey = 1072;
constexpr UINT kTextDefaultScanMode = 1073;
constexpr UINT kTextUserSettings = 1074;
constexpr UINT kTextRegVer = 1080;
constexpr UINT kTextFeederEmpty = 1090;
constexpr UINT kTextFilterLibrary = 1103;
constexpr UINT kTextFilterCreate = 1104;
constexpr UINT kTextFilterRun = 1105;
constexpr UINT kTextFilterRelease = 1106;
constexpr UINT kTextFilterZoomAndDelBack = 1107;
constexpr UINT kTextFilterFullToGray = 1108;
constexpr UINT kTextPaperJam = 1110;
constexpr UINT kTextScannerBusy = 1111;
constexpr UINT kTextCoverOpen = 1112;
constexpr UINT kTextScannerProfile = 3001;
constexpr UINT kTextDeviceName = 3003;
constexpr UINT kTextDeviceLibrary = 3004;
constexpr UINT kTextDeviceBufferSize = 3092;
constexpr UINT kTextSrgbProfile = 5000;
constexpr UINT kTextUseHardwareGrayScale = 5001;
constexpr UINT kTextMonoBitReverse = 5002;
constexpr UINT kTextConvertToSrgb = 5100;
constexpr UINT kTextRawDataSave = 5101;
