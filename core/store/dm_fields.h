// The device-mode field mask a model supports on the running platform, and where the private
// part of a device mode begins.
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"

// Bits of DEVMODEW.dmFields.
inline constexpr DWORD DM_ORIENTATION = 0x1;
inline constexpr DWORD DM_PAPERSIZE = 0x2;
inline constexpr DWORD DM_SCALE = 0x10;
inline constexpr DWORD DM_COPIES = 0x100;
inline constexpr DWORD DM_DEFAULTSOURCE = 0x200;
inline constexpr DWORD DM_PRINTQUALITY = 0x400;
inline constexpr DWORD DM_COLOR = 0x800;
inline constexpr DWORD DM_DUPLEX = 0x1000;
inline constexpr DWORD DM_YRESOLUTION = 0x2000;
inline constexpr DWORD DM_TTOPTION = 0x4000;
inline constexpr DWORD DM_COLLATE = 0x8000;
inline constexpr DWORD DM_FORMNAME = 0x10000;
inline constexpr DWORD DM_ICMMETHOD = 0x800000;
inline constexpr DWORD DM_ICMINTENT = 0x1000000;
inline constexpr DWORD DM_MEDIATYPE = 0x2000000;
inline constexpr DWORD DM_DITHERTYPE = 0x4000000;

// Fills the mask with the fields whose flag word for the platform's generation shares a bit
// with `allowed`; fields marked 4 only with a non-zero option byte (section 7) on a generation
// CheckOsGeneration accepts. 1, or 0 on an unknown generation or a failed check.
int ComputeDmFields(ItemStore* store, DWORD* mask, WORD allowed);

