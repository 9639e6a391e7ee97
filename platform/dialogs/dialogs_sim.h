// Test control of the common dialogs, HTML help and the shell: queued answers and the log of
// every call, in the order made. A file or colour dialog is also a modal interaction of the
// window system's log (user_sim.h SimModalLog: its owner is disabled while it runs).
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

// File dialogs take the next answer: a path (chosen), a cancel, or an extended error code.
PLATFORM_API void SimFileDialogAnswer(const std::u16string& path);
PLATFORM_API void SimFileDialogCancel();
PLATFORM_API void SimFileDialogError(DWORD extendedError);

struct SimFileDialog {
  bool save = false;
  HWND owner = nullptr;
  HINSTANCE instance = nullptr;
  std::vector<std::u16string> filter;  // the filter's texts, in pairs
  DWORD filterIndex = 0;
  std::u16string initialFile;          // lpstrFile as given
  DWORD maxFile = 0;
  std::u16string initialDir, title, defaultExtension;
  DWORD flags = 0;
  bool scripted = false;               // false: cancelled for want of an answer
  BOOL result = FALSE;
  DWORD extendedError = 0;
  std::u16string path;                 // what was written to lpstrFile
};
PLATFORM_API std::vector<SimFileDialog> SimFileDialogLog();

// The colour dialog takes the next answer: a colour, or a cancel.
PLATFORM_API void SimChooseColorAnswer(COLORREF colour);
PLATFORM_API void SimChooseColorCancel();
struct SimColorDialog {
  HWND owner = nullptr;
  DWORD flags = 0;
  COLORREF initial = 0;
  std::vector<COLORREF> custom;  // the 16 custom colours as given (empty without them)
  bool scripted = false;
  BOOL result = FALSE;
  COLORREF chosen = 0;
};
PLATFORM_API std::vector<SimColorDialog> SimColorDialogLog();

struct SimHelpCall {
  HWND caller = nullptr;
  std::u16string file;
  UINT command = 0;
  DWORD_PTR data = 0;
  bool ansi = false;
  HWND answer = nullptr;
};
PLATFORM_API std::vector<SimHelpCall> SimHelpLog();
// Whether the commands that show help answer a window (default) or NULL.
PLATFORM_API void SimHelpShowsWindows(bool shows);

struct SimShellCall {
  HWND hwnd = nullptr;
  std::u16string verb, file, parameters, directory;
  INT show = 0;
  INT_PTR answer = 0;
};
PLATFORM_API std::vector<SimShellCall> SimShellLog();
// The answer of the next ShellExecuteW (32 or below: a failure).
PLATFORM_API void SimShellExecuteAnswer(INT_PTR answer);
