// Icons from a module's resources: the group directory picks the image closest to the size
// asked for, whose DIB (colour bits and AND mask) becomes an icon. The layer does not share
// icons: every call makes a new one that its caller destroys with DestroyIcon, so the live
// GDI counts show an icon nobody destroys.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define LR_DEFAULTCOLOR 0x00000000
#define LR_MONOCHROME 0x00000001
#define LR_LOADFROMFILE 0x00000010
#define LR_DEFAULTSIZE 0x00000040
#define LR_SHARED 0x00008000

// The system's icon sizes (GetSystemMetrics SM_CXICON and SM_CXSMICON).
inline constexpr int kIconSize = 32;
inline constexpr int kSmallIconSize = 16;

// An icon of the standard size (kIconSize); NULL with the resource error, or ERROR_INVALID_DATA
// for a malformed icon.
PLATFORM_API HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
// IMAGE_ICON only: the image of the group closest to cx x cy (0: the standard size with
// LR_DEFAULTSIZE, else the group's first image). Other types and LR_LOADFROMFILE answer NULL
// with ERROR_NOT_SUPPORTED.
PLATFORM_API HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);

// A bitmap from a module's RT_BITMAP resource (a packed DIB: header, colour table, bits), as a
// bitmap of the layer's format that its caller deletes. NULL with the resource error, or
// ERROR_INVALID_DATA for a DIB that the resource's bytes do not hold.
PLATFORM_API HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
PLATFORM_API HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
