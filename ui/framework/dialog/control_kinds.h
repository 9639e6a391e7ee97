// The control kinds: the table that maps a row's ControlKind to its handler, how a StateCode
// is shown on a control, and the kind data of the simple kinds and of the picture.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

using ControlKind = WORD;
inline constexpr ControlKind kKindComboBox = 1;
inline constexpr ControlKind kKindListBox = 2;
inline constexpr ControlKind kKindEdit = 4;
inline constexpr ControlKind kKindRadio = 5;
inline constexpr ControlKind kKindPushButton = 6;
inline constexpr ControlKind kKindCheckBox = 7;
inline constexpr ControlKind kKindScrollBar = 8;
inline constexpr ControlKind kKindSpinEdit = 9;
inline constexpr ControlKind kKindStaticText = 10;
inline constexpr ControlKind kKindValueText = 11;
inline constexpr ControlKind kKindTrackBar = 12;
inline constexpr ControlKind kKindPicture = 13;
inline constexpr ControlKind kKindGroupButton = 14;

struct ControlKindEntry {
  ControlKind kind;
  RowHandler handler;
};

// Kind 5: button n of the group stands for choice n of the item's list.
struct RadioGroupData {
  LONG count;
  const LONG* buttons;
};

// Kind 8: direction 0 = the top end and line-up raise the value.
struct ScrollBarData {
  DWORD direction;
  WORD pageStep;
};

// Kind 9: the address of the scaled flag (values pass ConvertItemPosition when it is set).
struct SpinEditData {
  const DWORD* scaled;
};

// Kind 10.
inline constexpr WORD kStaticChoiceName = 1;
inline constexpr WORD kStaticResourceString = 2;
inline constexpr WORD kStaticStateOnly = 3;
struct StaticTextData {
  WORD subKind;
  LONG stringId;
};

// Kind 12.
struct TrackBarData {
  WORD pageSize;
  WORD tickFrequency;  // 0: none set
  DWORD scaled;
};

// Kind 13: subclass flag 1 paints the icon; state bit 0 applies the row's StateCode on
// refresh unless the skip bit 0 is set.
struct PictureKindData {
  WORD subclass;
  BYTE stateFlags;
  BYTE reserved;
  BYTE skipFlags;
};

// The handler of a kind, NULL when the kind has none.
RowHandler FindControlKindHandler(ControlKind kind);

// 1 and 15 show the control disabled, 6 disables and hides it, others show and enable it.
int ShowControlState(HWND control, StateCode code);
// The edit-box form: read-only exactly for 14; 15 stays enabled.
int ShowEditControlState(HWND control, LONG controlId, StateCode code);
// Shows the row's current StateCode on its control: 1, or 0 without control id or code.
int ApplyControlState(HWND dialog, const ControlRow* row, StateCode* code);

INT_PTR HandleRadioGroupKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandlePushButtonKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleGroupButtonKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleCheckBoxKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleScrollBarKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleSpinEditKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleStaticTextKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleTrackBarKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandlePictureKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);

// The stored value of the row's current item in shown form (ConvertItemPosition when scaled).
int GetSpinValue(HWND dialog, const ControlRow* row, DWORD scaled, LONG* value);
// Palette entries realised for the picture of the selected choice.
int RealizePicturePalette(HWND dialog, HWND control, const ControlRow* row);
LRESULT PictureKindProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
