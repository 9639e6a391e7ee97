// Names of new temporary files. Each call creates a unique empty file and answers its path.
#pragma once

#include "platform/base/types.h"

#if defined(QV_BUILD_UI)
// Kind of temporary file whose last-resort name is "c:\vqfot.tmp"; every other kind falls
// back to "c:\vqfdp.tmp".
constexpr int kTempFileOutput = 4;
// A "VQF" file in the first directory that answers (temporary, Windows, system, current).
// buffer: MAX_PATH characters. Answers 1 for a created file, 0 when the fixed fall-back name
// was written instead, or for a NULL buffer.
int MakeTempFilePath(LPWSTR buffer, int kind);
#elif defined(QV_BUILD_GR)
// A "VQP" file in the temporary, Windows, system or current directory, each tried in turn;
// "c:\vqnimbrel.tmp" when all fail. buffer: MAX_PATH characters. 1, or 0 for NULL.
int MakeTempFilePath(LPWSTR buffer);
#endif
