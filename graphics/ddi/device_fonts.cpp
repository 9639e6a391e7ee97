#include "graphics/ddi/device_fonts.h"

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

namespace {

// The entry of a face (1-based); NULL with ERROR_INVALID_PARAMETER when there is none.
DeviceFontEntry* FindFontEntry(Pdev* pdev, ULONG face) {
  if (!IsPdevValid(pdev) || face < 1 || face > pdev->fonts.count || pdev->fonts.entries == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return pdev->fonts.entries[face - 1];
}

}  // namespace

IFIMETRICS* HandleQueryFont(Pdev* pdev, ULONG_PTR, ULONG face, ULONG_PTR* id) {
  if (id != nullptr) *id = 0;
  FindFontEntry(pdev, face);
  return nullptr;
}

PVOID HandleQueryFontTree(Pdev* pdev, ULONG_PTR, ULONG face, ULONG, ULONG_PTR* id) {
  if (id != nullptr) *id = 0;
  FindFontEntry(pdev, face);
  return nullptr;
}

LONG HandleQueryFontData(Pdev* pdev, FONTOBJ* font, ULONG, HGLYPH, GLYPHDATA*, PVOID, ULONG) {
  if (font == nullptr) return 0;
  FindFontEntry(pdev, font->iFace);
  return 0;
}

BOOL HandleQueryAdvanceWidths(Pdev* pdev, FONTOBJ* font, ULONG, HGLYPH*, PVOID, ULONG) {
  if (font == nullptr) return FALSE;
  FindFontEntry(pdev, font->iFace);
  return FALSE;
}
