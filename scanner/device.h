// The scanner reached through the device-access library's StiCommand: opening, locking,
// parameters, tone table, scan window, start, band reads and the device's error messages.
#pragma once

#include "platform/base/types.h"

constexpr DWORD kDeviceCommandBlockBytes = 64;
constexpr DWORD kScanWindowBytes = 48;

// Device flags.
constexpr BYTE kDeviceOpen = 0x01;
constexpr BYTE kDeviceLocked = 0x04;

// Scan-engine results.
constexpr int kScanOk = 0;
constexpr int kScanFailed = 5;

BYTE DeviceFlags();
DWORD DeviceBufferSize();
BOOL DocumentEndFlag();
void ClearDocumentEndFlag();

BOOL OpenDevice();
BOOL CloseDevice();
int ExecuteDeviceCommand(BYTE opcode, BYTE* block);
int ReportDeviceError(const BYTE* statusByte, DWORD status);
int ShowDeviceMessage(UINT textId, UINT captionId, BOOL withCancel);
BOOL CheckFeederPaper(BOOL showMessages);
int PrepareDevice(BOOL paperTest);
int StartScan(WORD kind, LONG left, LONG top, DWORD width, DWORD length, WORD resolution, WORD threshold,
              WORD halftoneMode, DWORD backgroundRemoval, BOOL paperTest, const BYTE* toneTable);
// Reads lineCount lines of the running scan into dest, in the packed lines of the scan kind.
int ReadScanBand(BYTE* dest, DWORD lineCount);
void AbortDeviceScan();
void EndDeviceScan();
// Frees the band buffer (at detach and at the end of a scan run).
void FreeDeviceBandBuffer();
BOOL FeederPresent();
BOOL FeederHasPaper();

// Set while a preview scan is asked for (from the Preview button to the Scan button).
extern BOOL g_PreviewRequested;
