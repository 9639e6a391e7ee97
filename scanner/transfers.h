// The image-group requests and the transfer set-up requests: what the coming image looks
// like, how it is handed over, and the native, memory and file transfers.
#pragma once

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/connection.h"
#include "scanner/image_record.h"

TW_UINT16 HandleImageInfo(const Triplet& triplet);
TW_UINT16 HandleImageLayout(const Triplet& triplet);
TW_UINT16 HandlePalette8(const Triplet& triplet);
TW_UINT16 HandleSetupMemXfer(const Triplet& triplet);
TW_UINT16 HandleSetupFileXfer(const Triplet& triplet);
TW_UINT16 HandleImageNativeXfer(const Triplet& triplet);
TW_UINT16 HandleImageMemXfer(const Triplet& triplet);
TW_UINT16 HandleImageFileXfer(const Triplet& triplet);

// The preferred memory strip of the record's image (what DAT_SETUPMEMXFER answers for it).
DWORD PreferredMemoryStripBytes(const ImageRecord& record);
// One memory strip of a record of the data source's own (the dialog's preview scan) rather
// than the application's.
TW_UINT16 TransferRecordStrip(TW_IMAGEMEMXFER& x, BYTE* buffer, ImageRecord& record);

// Ends a memory transfer's scan run before its last strip (the application stopped early or
// the connection ends): progress closed, run ended, device closed.
void EndTransferRun();

constexpr DWORD kBitmapFileHeaderBytes = 14;
constexpr DWORD kBitmapInfoHeaderBytes = 40;

// The 14-byte file header of a bitmap whose palette and bits follow the 40-byte header.
void BuildBitmapFileHeader(BYTE* header14, DWORD paletteBytes, ULONGLONG imageBytes);
// The 40-byte info header of the record's image; answers the palette's bytes (8, 1024 or 0).
DWORD BuildBitmapInfoHeader(BYTE* header40, const ImageRecord& record);
