// Sending the private escapes (driver_escapes.h).
#include "ui/module/driver_escapes.h"

#include "platform/gdi/escape.h"

bool SendDriverEscape(HDC dc, int escape, const void* in, DWORD inSize, void* out, DWORD outSize) {
  return ExtEscape(dc, escape, static_cast<int>(inSize), static_cast<LPCSTR>(in), static_cast<int>(outSize),
                   static_cast<LPSTR>(out)) > 0;
}
