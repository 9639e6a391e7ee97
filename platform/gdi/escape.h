// Driver escapes on a device context (ExtEscape). Display and memory device contexts have no
// printer driver behind them: they answer 0 (not supported) for every escape unless a test
// has installed a responder (gdi_sim.h).
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// The escape's answer: the responder's for a live DC when one is installed, else 0; -1 with
// ERROR_INVALID_HANDLE for a handle that is not a DC, or a negative size.
PLATFORM_API int ExtEscape(HDC dc, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output);

namespace gdi {
// ExtEscape on a DC without a driver: the test responder's answer, else 0; -1 with
// ERROR_INVALID_HANDLE for a handle that is not a DC or ERROR_INVALID_PARAMETER for a negative
// size.
int AnswerEscapeWithoutDriver(HDC dc, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output);
}  // namespace gdi
