// HTML help ("hhctrl.ocx", HtmlHelpW also by ordinal 15): every call is recorded
// (dialogs_sim.h); the commands that show help answer a window handle of their own, a token
// that no window call knows, unless a test makes them answer NULL. HH_GET_WIN_HANDLE answers
// that handle while help is shown (from the first command that shows it until HH_CLOSE_ALL).
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define HH_DISPLAY_TOPIC 0x0000
#define HH_HELP_FINDER 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
#define HH_SET_WIN_TYPE 0x0004
#define HH_GET_WIN_TYPE 0x0005
#define HH_GET_WIN_HANDLE 0x0006
#define HH_DISPLAY_TEXT_POPUP 0x000E
#define HH_KEYWORD_LOOKUP 0x000D
#define HH_HELP_CONTEXT 0x000F
#define HH_TP_HELP_CONTEXTMENU 0x0010
#define HH_TP_HELP_WM_HELP 0x0011
#define HH_CLOSE_ALL 0x0012
#define HH_ALINK_LOOKUP 0x0013
#define HH_INITIALIZE 0x001C
#define HH_UNINITIALIZE 0x001D

// The ordinals under which the help module exports its two calls.
inline constexpr WORD kHtmlHelpAOrdinal = 14;
inline constexpr WORD kHtmlHelpWOrdinal = 15;

PLATFORM_API HWND HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);
PLATFORM_API HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
