// Large per-printer blocks kept in printer data as a size value (name + "Size", REG_DWORD)
// and numbered pieces (name + "1" ... name + "N", REG_BINARY, 768 bytes each, the last one the
// remainder). A block holds at most 99 pieces.
#pragma once

#include "platform/base/types.h"

inline constexpr DWORD kChunkPieceSize = 768;
inline constexpr DWORD kChunkMaxPieces = 99;
inline constexpr DWORD kChunkMaxBytes = kChunkPieceSize * kChunkMaxPieces;  // 76032

// The five blocks addressed by index.
enum PrinterDataIndex : WORD {
  kFontSubTableData = 0,     // "FontSubTable"
  kSysTTFontListData = 1,    // "SysTTFontList"
  kPrinterConfigData = 2,    // "PrinterData": the PrinterConfiguration
  kUserSettingInfoData = 3,  // "UserSettingInfo"
  kPaperMarginData = 4,      // "PaperMarginArray"
  kPrinterDataIndexCount = 5
};


// Stores a block of 1 to 76032 bytes under the value name: 1 when the whole block is stored.
// The size value is removed first and written last, so a write that stops part-way leaves no
// size value and the block reads as absent, never as a mix of old and new pieces.
int WriteChunkedPrinterData(HANDLE printer, LPCWSTR name, const void* data, DWORD size);
// Reads a block: 1 with the block and its size. With useCallerBlock the caller's *block
// receives the data and *size gives its capacity on entry (a larger stored block is refused);
// otherwise a new zero-filled global block is handed out for the caller to free. The size
// value must be a 4-byte REG_DWORD and every piece a REG_BINARY of exactly the bytes the size
// leaves for it, with no piece after the last; anything else is refused (0; the caller's block
// untouched, or the output block NULL; nothing left allocated).
int ReadChunkedPrinterData(HANDLE printer, LPCWSTR name, DWORD* size, BYTE** block, BOOL useCallerBlock);
// 1 when the block is absent or every piece and then the size value were deleted.
int DeleteChunkedPrinterData(HANDLE printer, LPCWSTR name);

// The same for the indexed blocks (index 0-4).
int WritePrinterDataValue(HANDLE printer, const void* data, DWORD size, WORD index);
int ReadPrinterDataValue(HANDLE printer, DWORD* size, WORD index, BYTE** block, BOOL useCallerBlock);
int DeletePrinterDataValue(HANDLE printer, WORD index);

// A new copy of the printer driver's data file path (DRIVER_INFO_2.pDataFile) from the
// global heap, NULL when there is none.
LPWSTR GetDriverDataFile(HANDLE printer);
