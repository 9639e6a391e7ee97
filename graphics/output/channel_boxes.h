// The output channel's questions to the user: the box shown when a user-file write fails and
// the one shown when a folder for print to file cannot be created. Both follow the model's
// reading order: right-to-left models get right-aligned, right-to-left boxes.
#pragma once

#include "graphics/output/output_channel.h"
#include "platform/base/types.h"

// Model feature that marks a right-to-left model.
constexpr DWORD kRightToLeftFeature = 0xFFFF002E;
// Resource string shown when a folder cannot be created, and the box's caption.
constexpr UINT kFolderFailureString = 2;
inline constexpr WCHAR kFolderFailureCaption[] = u"警告";

// MB_RIGHT | MB_RTLREADING when the model of the printer (its description database opened
// through an item store) has the right-to-left feature; 0 otherwise or when it cannot be read.
UINT GetReadingOrderFlags(HANDLE printer);
// The write-failure box of the channel (caption string 6, text string messageId of its
// resource module, OK and Cancel). TRUE when the user chose OK: the write is tried again.
BOOL AskRetryChannelWrite(const OutputChannel* channel);
// The folder-failure box (text string 2, OK and Cancel) for the printer's model. The answer
// (IDOK, IDCANCEL, or 0 when no box could be shown).
int AskFolderFailure(HMODULE resourceModule, HANDLE printer);
