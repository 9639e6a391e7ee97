// The font query exports: the trace bracket around the device fonts' answers.
#include "core/runtime/trace_log.h"
#include "graphics/ddi/ddi_exports.h"
#include "graphics/ddi/device_fonts.h"

namespace {

DWORD Low32(const void* p) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(p)); }
Pdev* AsPdev(DHPDEV pdev) { return reinterpret_cast<Pdev*>(pdev); }

}  // namespace

IFIMETRICS* DrvQueryFont(DHPDEV pdev, ULONG_PTR file, ULONG face, ULONG_PTR* id) {
  TraceEnter(u"DrvQueryFont");
  IFIMETRICS* result = HandleQueryFont(AsPdev(pdev), file, face, id);
  TraceLeave(u"DrvQueryFont RetValue = 0x%08X", Low32(result));
  return result;
}

PVOID DrvQueryFontTree(DHPDEV pdev, ULONG_PTR file, ULONG face, ULONG mode, ULONG_PTR* id) {
  TraceEnter(u"DrvQueryFontTree");
  PVOID result = HandleQueryFontTree(AsPdev(pdev), file, face, mode, id);
  TraceLeave(u"DrvQueryFontTree RetValue = 0x%08X", Low32(result));
  return result;
}

LONG DrvQueryFontData(DHPDEV pdev, FONTOBJ* font, ULONG mode, HGLYPH glyph, GLYPHDATA* data, PVOID buffer,
                      ULONG size) {
  TraceEnter(u"DrvQueryFontData");
  const LONG result = HandleQueryFontData(AsPdev(pdev), font, mode, glyph, data, buffer, size);
  TraceLeave(u"DrvQueryFontData RetValue = %ld", result);
  return result;
}

BOOL DrvQueryAdvanceWidths(DHPDEV pdev, FONTOBJ* font, ULONG mode, HGLYPH* glyphs, PVOID widths, ULONG count) {
  TraceEnter(u"DrvQueryAdvanceWidths");
  const BOOL result = HandleQueryAdvanceWidths(AsPdev(pdev), font, mode, glyphs, widths, count);
  TraceLeave(u"DrvQueryAdvanceWidths RetValue = %d", result);
  return result;
}
