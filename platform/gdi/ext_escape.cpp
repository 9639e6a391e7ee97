// ExtEscape (escape.h): a printer DC hands the escape to its graphics module; other DCs have
// no driver behind them.
#include "platform/gdi/escape.h"
#include "platform/gdi/printer_device.h"

int ExtEscape(HDC dc, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output) {
  int result = 0;
  if (PrinterEscape(dc, escape, inputSize, input, outputSize, output, &result)) return result;
  return gdi::AnswerEscapeWithoutDriver(dc, escape, inputSize, input, outputSize, output);
}
