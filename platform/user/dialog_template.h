// Dialog templates as resources carry them: the platform's extended dialog template layout
// (DLGTEMPLATEEX followed by DLGITEMTEMPLATEEX records, each 4-byte aligned), read and
// written field by field. The window system builds dialogs from the decoded form.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/qrs.h"

#define DS_SETFONT 0x40L
#define DS_SHELLFONT (DS_SETFONT | 0x8L)

// Predefined control classes, as atoms in a template's class field.
inline constexpr WORD kDialogClassButton = 0x0080;
inline constexpr WORD kDialogClassEdit = 0x0081;
inline constexpr WORD kDialogClassStatic = 0x0082;
inline constexpr WORD kDialogClassListBox = 0x0083;
inline constexpr WORD kDialogClassScrollBar = 0x0084;
inline constexpr WORD kDialogClassComboBox = 0x0085;

// A name-or-number field: number 0 means "none" (no menu, default class, empty text).
struct DialogControlTemplate {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  SHORT x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  QrsName windowClass;  // a class atom (kDialogClass...) or a class name
  QrsName text;         // the control's text, or a resource number (an icon of a static)
};

struct DialogTemplate {
  DWORD helpId = 0;
  DWORD exStyle = 0;
  DWORD style = 0;
  SHORT x = 0, y = 0, cx = 0, cy = 0;
  QrsName menu;
  QrsName windowClass;
  std::u16string caption;
  // Present when style holds DS_SETFONT.
  WORD pointSize = 0;
  WORD weight = 0;
  BYTE italic = 0;
  BYTE charset = 0;
  std::u16string face;
  std::vector<DialogControlTemplate> controls;
};

PLATFORM_API std::vector<BYTE> EncodeDialogTemplate(const DialogTemplate& dialog);
// ERROR_INVALID_DATA for anything but a complete extended template inside `bytes`.
PLATFORM_API DWORD DecodeDialogTemplate(std::span<const BYTE> bytes, DialogTemplate& dialog);
