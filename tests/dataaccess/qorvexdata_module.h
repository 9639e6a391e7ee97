// qorvexdata.dll loaded by name through the platform loader, with its exports bound the way an
// outside caller binds them.
#pragma once

#include "dataaccess/dma_interface.h"
#include "engine_cases.h"
#include "platform/base/types.h"

struct QorvexDataExports {
  HMODULE module = nullptr;
  EngineApi engine{};
  DmaGetValueProc getValue = nullptr;
  DmaSetValueProc setValue = nullptr;
  DmaGetStringDataProc getStringData = nullptr;
  DmaSetStringDataProc setStringData = nullptr;
  DmaGetLogFontDataProc getLogFontData = nullptr;
  DmaSetLogFontDataProc setLogFontData = nullptr;
  DmaGetUserSettingInfoProc getUserSettingInfo = nullptr;
  DmaSetUserSettingInfoProc setUserSettingInfo = nullptr;
};

// Loads the module from the sandbox's driver directory and binds every export; false (with a
// gtest failure naming what is missing) when any is absent.
bool LoadQorvexData(QorvexDataExports* dll);
void UnloadQorvexData(QorvexDataExports* dll);
