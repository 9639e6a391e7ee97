// A small TWAIN application: loads the data source "pelvo.ds" by name, talks to it through its
// DS_Entry with real containers in global memory, enables it without its user interface and
// receives images by the native, memory and file transfers, decoding what arrives.
#pragma once

#include <string>
#include <vector>

#include "platform/base/types.h"
#include "platform/twain/twain.h"

// An image as it arrived, top-down, each row its pixels packed without padding.
struct ReceivedImage {
  DWORD Width = 0;
  DWORD Height = 0;
  WORD Bits = 0;  // 1, 8 or 24
  std::vector<BYTE> Palette;  // RGBQUADs, as the bitmap had them
  std::vector<BYTE> Pixels;
  // The pixel at (x, y): a bit, a byte, or 0xRRGGBB.
  DWORD Value(DWORD x, DWORD y) const;
};

// Decodes a packed DIB (40-byte header, palette, bottom-up rows padded to 4 bytes) or a bitmap
// file (a 14-byte file header first); every size is checked against the bytes. FALSE when
// the bytes are not such a bitmap.
bool DecodeBitmap(const BYTE* bytes, size_t size, bool withFileHeader, ReceivedImage& image);

// A capability's answer: the container's kind and bytes (already freed in global memory).
struct CapabilityAnswer {
  TW_UINT16 Result = TWRC_FAILURE;
  TW_UINT16 Condition = TWCC_SUCCESS;
  TW_UINT16 ConType = 0;
  std::vector<BYTE> Bytes;
  // The one value's item, or the enumeration's current item, as a number (FIX32 as a real).
  double Current() const;
  TW_UINT32 Count() const;                  // items of an array or enumeration
  double Item(TW_UINT32 index) const;       // item of an array or enumeration
};

class TwainApplication {
 public:
  TwainApplication();
  ~TwainApplication();
  // Loads the data source; FALSE when it or its entry is missing.
  bool Load();
  void Unload();

  TW_UINT16 Call(TW_UINT32 group, TW_UINT16 type, TW_UINT16 message, void* data);
  // The condition of the last failure (DAT_STATUS).
  TW_UINT16 Condition();

  TW_UINT16 Open();
  TW_UINT16 Close();
  TW_UINT16 EnableWithoutInterface();
  // Enables the source with its user interface (its scan dialog) owned by the window.
  TW_UINT16 EnableWithInterface(HWND parent);
  TW_UINT16 Disable();
  // MSG_ENDXFER; the pending count answered.
  TW_UINT16 EndTransfer(TW_INT16* count);

  // Capabilities: queries, and sets with each kind of container.
  CapabilityAnswer Query(TW_UINT16 cap, TW_UINT16 message);
  TW_UINT16 SetOneValue(TW_UINT16 cap, TW_UINT16 type, double value);
  TW_UINT16 SetEnumeration(TW_UINT16 cap, TW_UINT16 type, const std::vector<double>& items, TW_UINT32 current);
  TW_UINT16 SetRange(TW_UINT16 cap, double minimum, double maximum, double step, double current);
  TW_UINT16 SetArray(TW_UINT16 cap, TW_UINT16 type, const std::vector<double>& items);
  // Sends a container of the given kind and exactly these bytes.
  TW_UINT16 SetRaw(TW_UINT16 cap, TW_UINT16 conType, const std::vector<BYTE>& bytes);
  TW_UINT16 Reset(TW_UINT16 cap);

  // Transfers of one image each.
  TW_UINT16 TransferNative(ReceivedImage& image);
  // Memory strips into buffers of bufferSize bytes (0: the source's preferred size), until the
  // image is done; strips counts the strips received.
  TW_UINT16 TransferMemory(ReceivedImage& image, DWORD bufferSize = 0, DWORD* strips = nullptr);
  // The file transfer into a platform path, decoded from the file the source wrote.
  TW_UINT16 TransferFile(const std::string& path, ReceivedImage& image);

  TW_IDENTITY& Identity() { return application_; }
  TW_IDENTITY& Source() { return source_; }

 private:
  HMODULE module_ = nullptr;
  DSENTRYPROC entry_ = nullptr;
  TW_IDENTITY application_{};
  TW_IDENTITY source_{};
};

// TW_FIX32 of a number, and back.
TW_FIX32 ToFix32(double value);
double FromFix32(TW_FIX32 value);
