// Text into a DC's pixels with FreeType glyphs from the font files of font_files.h, antialiased
// and blended with the text colour. Metrics come from the font file alone (no hinting), so they
// are the same on every machine that has the font package:
// - the em in pixels is -lfHeight for a negative height; a positive height is the cell height
//   (ascent + descent) and the em follows from it; 0 means a cell of 16 pixels;
// - ascent and descent are the face's Windows ascent and descent scaled to the em and rounded
//   (for a positive height the descent is the rest of the cell); tmInternalLeading is the cell
//   minus the em, tmExternalLeading 0;
// - a character advances its glyph's advance scaled to the em and rounded to whole pixels;
//   tmAveCharWidth is the face's average width scaled the same way; italic (drawn slanted from
//   the upright file) changes no metric; lfWidth is not used;
// - a font with an escapement draws its line turned by it (tenths of a degree, counter-
//   clockwise) about the reference point, glyphs turned with it, without background cell,
//   underline or strike-out; measuring is the same as for upright text;
// - a character the face's file has no glyph for (Japanese text) is measured and drawn with the
//   fallback face of font_files.h, its em following from lfHeight by the fallback's own design
//   metrics as above; the font's metrics stay the face's; a character neither file has draws
//   the face's missing-glyph box.
// Every call fails with ERROR_FILE_NOT_FOUND when the font package is not installed.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/gdi/fonts.h"

// Text alignment (SetTextAlign): horizontal, vertical, and whether the current position is used.
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24
#define TA_RTLREADING 256

// ExtTextOutW options.
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

// DrawTextW formats.
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_TABSTOP 0x00000080
#define DT_NOCLIP 0x00000100
#define DT_EXTERNALLEADING 0x00000200
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_INTERNAL 0x00001000
#define DT_EDITCONTROL 0x00002000
#define DT_PATH_ELLIPSIS 0x00004000
#define DT_END_ELLIPSIS 0x00008000
#define DT_MODIFYSTRING 0x00010000
#define DT_RTLREADING 0x00020000
#define DT_WORD_ELLIPSIS 0x00040000
#define DT_HIDEPREFIX 0x00100000
#define DT_PREFIXONLY 0x00200000

// Character sets beyond fonts.h's.
#define SYMBOL_CHARSET 2
#define SHIFTJIS_CHARSET 128
#define HANGUL_CHARSET 129
#define JOHAB_CHARSET 130
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136
#define OEM_CHARSET 255

// tmPitchAndFamily bits (TMPF_FIXED_PITCH set means a variable pitch) and families.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

struct FONTSIGNATURE {
  DWORD fsUsb[4];
  DWORD fsCsb[2];
};

static_assert(sizeof(FONTSIGNATURE) == 24);

PLATFORM_API UINT SetTextAlign(HDC dc, UINT align);
PLATFORM_API UINT GetTextAlign(HDC dc);

// Draws `count` characters at (x, y) as the text alignment says; in OPAQUE mode the text's cell
// (its advance width by tmHeight) is first filled with the background colour.
PLATFORM_API BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
// As TextOutW; ETO_OPAQUE fills `rect` with the background colour (also with no text),
// ETO_CLIPPED keeps the glyphs inside it; `dx` gives each character's advance.
PLATFORM_API BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                              const INT* dx);
// Draws text in a rectangle: lines broken at line feeds (unless DT_SINGLELINE) and, with
// DT_WORDBREAK, at spaces and beside ideographic characters (never before a closing mark or a
// small kana, never after an opening mark); left, centred or right; single lines also centred or at the bottom;
// '&' underlines the next character ("&&" draws one '&') unless DT_NOPREFIX (DT_HIDEPREFIX
// draws no underline); tabs expand to 8 average characters with DT_EXPANDTABS; lines too wide
// end in "..." with DT_END_ELLIPSIS or DT_WORD_ELLIPSIS, and lose the middle of a path with
// DT_PATH_ELLIPSIS (the caller's text is never changed: DT_MODIFYSTRING is not carried out);
// clipped to the rectangle unless DT_NOCLIP. DT_CALCRECT draws nothing and sets the rectangle's
// right (for a rectangle without DT_WORDBREAK) and bottom to fit the text. Answers the text's
// height (with DT_VCENTER or DT_BOTTOM the offset of its bottom from the rectangle's top), 0 on
// failure. `count` -1 means up to the terminator.
PLATFORM_API int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
// The advance width of the characters and tmHeight.
PLATFORM_API BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
// As GetTextExtentPoint32W, also how many characters fit in `maxExtent` (with `fit`) and the
// extent after each character (with `dx`, `count` entries).
PLATFORM_API BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size);
PLATFORM_API BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
// Copies the selected font's face name (at most `count` - 1 characters and a terminator);
// answers the characters copied, or the size needed with no buffer.
PLATFORM_API int GetTextFaceW(HDC dc, int count, LPWSTR face);
// The selected font's character set; DEFAULT_CHARSET stands for the set of the ANSI code page
// (1252 ANSI_CHARSET, 932 SHIFTJIS_CHARSET, 936 GB2312_CHARSET, 949 HANGUL_CHARSET, 950
// CHINESEBIG5_CHARSET). DEFAULT_CHARSET for a bad DC.
PLATFORM_API int GetTextCharset(HDC dc);
// As GetTextCharset, also the code-page bit of that set in fsCsb[0] (bit 0 for 1252, 17 for
// 932, 18 for 936, 19 for 949, 20 for 950) with the fonts' Unicode ranges left 0.
PLATFORM_API int GetTextCharsetInfo(HDC dc, FONTSIGNATURE* signature, DWORD flags);
