// The picture controls of the pages: static controls that a picture row subclasses so that
// each paint composes the control's picture from the settings in force (a row's own bitmap,
// or the device with the options the model's picture records show) and draws it.
#pragma once

#include <vector>

#include "core/database/dbrecords.h"
#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

// Results of the picture builders: only kPictureDone is painted.
inline constexpr WORD kPictureDone = 0;
inline constexpr WORD kPictureBadArgument = 1;
inline constexpr WORD kPictureNoMemory = 2;
inline constexpr WORD kPictureUnreadable = 3;
inline constexpr WORD kPictureDatabaseError = 4;
inline constexpr WORD kPictureMissingBitmap = 5;
inline constexpr WORD kPictureFailed = 6;

// One bitmap of a picture at its place in the control (client pixels, top left).
struct PictureEntry {
  HBITMAP bitmap;
  LONG x;
  LONG y;
};

// The bitmaps of a picture, drawn in order (later ones cover earlier ones); it owns them.
struct PictureList {
  std::vector<PictureEntry> entries;
  PictureList() = default;
  PictureList(const PictureList&) = delete;
  PictureList& operator=(const PictureList&) = delete;
  ~PictureList();
};

// The row callback of every picture row: subclasses the row's control at WM_INITDIALOG and
// has the device picture drawn again whenever the settings may have changed. Answers 0.
INT_PTR PictureRowCallback(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                           const ControlRow* row, const void* kindData);

// Draws the list into the DC over the rectangle, composed in memory on the button face with
// magenta (0xFF00FF) as the see-through colour; x positions are mirrored inside the rectangle
// when `mirrored`. kPictureDone, or kPictureFailed when a drawing step fails.
WORD RenderPictureList(HDC dc, const RECT& rect, const PictureList& list, bool mirrored);

// The bitmap resource of the module as a bitmap of the display: kPictureDone or
// kPictureMissingBitmap.
WORD LoadPictureBitmap(HMODULE module, WORD resourceId, HBITMAP* bitmap);

// Whether a picture record's conditions hold for control 1187 or 1310, walked left to right:
// a held condition ending an alternative applies the record, an OR chain that held skips to
// the end of its chain, a failed condition skips to the end of its alternative; every skip
// stays inside the list. Conditions on items that do not concern the control fail (1310: the
// option items 4097-4362 and 5123 only; 1187: not item 4114 when `without4114`).
// kPictureDone, or kPictureUnreadable when an item cannot be read.
WORD PictureRecordApplies(const ConditionList& conditions, LONG controlId, bool without4114, SettingsRecord* settings,
                          PrinterConfiguration* config, bool* applies);

// A bitmap of the display from a packed device-independent bitmap of the model's database
// (header, colour table, rows), refused (NULL) unless its header, colour table and rows lie
// within `size` bytes; 1, 4, 8, 24 and 32 bits per pixel, uncompressed.
HBITMAP CreateBitmapFromDib(HDC dc, const BYTE* dib, DWORD size);

// The device picture of a page (controls 1187 and 1310): the pictures of the model's picture
// records whose conditions hold for the settings, at their positions.
WORD BuildDevicePicture(HWND dialog, LONG controlId, SettingsRecord* settings, PrinterConfiguration* config,
                        PictureList* list);
