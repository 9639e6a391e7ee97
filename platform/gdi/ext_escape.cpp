// ExtEscape (escape.h): every device context of the layer is a memory or display DC so far.
#include "platform/gdi/escape.h"

int ExtEscape(HDC dc, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output) {
  return gdi::AnswerEscapeWithoutDriver(dc, escape, inputSize, input, outputSize, output);
}
