// ExtEscape (escape.h): a printer DC hands the escape to its graphics module; other DCs have
// no driver behind them.
#include "platform/gdi/escape.h"
#include "platform/gdi/printer_device.h"

int ExtEscape(HDC dc, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output) {
  if (const gdi::PrinterDcCalls* printer = gdi::PrinterCallsOf(dc); printer != nullptr)
    return printer->escape(dc, escape, inputSize, input, outputSize, output);
  return gdi::AnswerEscapeWithoutDriver(dc, escape, inputSize, input, outputSize, output);
}
