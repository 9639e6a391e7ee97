// Font enumeration over the simulated machine's installed fonts (rules in fonts.h).
#include "platform/gdi/fonts.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/gdi/gdi_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

struct FontList {
  std::mutex lock;
  std::vector<SimFont> fonts;
};

FontList& Installed() {
  static FontList list;
  return list;
}

void ResetFonts() { SimSetFontList({}); }
const bool registeredReset = (SimAddResetHook(&ResetFonts), true);

// Copies at most `size` - 1 characters and a terminator.
void CopyName(WCHAR* out, size_t size, const std::u16string& name) {
  const size_t n = name.size() < size - 1 ? name.size() : size - 1;
  std::memcpy(out, name.data(), n * sizeof(WCHAR));
  out[n] = 0;
}

void Describe(const SimFont& font, ENUMLOGFONTW& logFont, NEWTEXTMETRICW& metrics) {
  std::memset(&logFont, 0, sizeof logFont);
  std::memset(&metrics, 0, sizeof metrics);
  logFont.elfLogFont.lfWeight = font.weight;
  logFont.elfLogFont.lfItalic = font.italic;
  logFont.elfLogFont.lfCharSet = font.charSet;
  CopyName(logFont.elfLogFont.lfFaceName, LF_FACESIZE, font.family);
  CopyName(logFont.elfFullName, LF_FULLFACESIZE, font.fullName);
  CopyName(logFont.elfStyle, LF_FACESIZE, font.style);
  metrics.tm.tmWeight = font.weight;
  metrics.tm.tmItalic = font.italic;
  metrics.tm.tmCharSet = font.charSet;
}

bool SameFamily(const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

}  // namespace

void SimSetFontList(const std::vector<SimFont>& fonts) {
  FontList& list = Installed();
  std::lock_guard<std::mutex> guard(list.lock);
  list.fonts = fonts;
}

int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW proc, LPARAM param) {
  if (SimCallFails("EnumFontFamiliesW")) return 0;
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The callback may enumerate again (a family's faces): work on a copy, outside the lock.
  std::vector<SimFont> fonts;
  {
    FontList& list = Installed();
    std::lock_guard<std::mutex> guard(list.lock);
    fonts = list.fonts;
  }
  std::vector<SimFont> chosen;
  for (const SimFont& font : fonts) {
    if (family != nullptr) {
      if (SameFamily(font.family, family)) chosen.push_back(font);
      continue;
    }
    bool seen = false;
    for (const SimFont& c : chosen) seen = seen || SameFamily(c.family, font.family);
    if (!seen) chosen.push_back(font);
  }
  int answer = 1;
  for (const SimFont& font : chosen) {
    ENUMLOGFONTW logFont;
    NEWTEXTMETRICW metrics;
    Describe(font, logFont, metrics);
    answer = proc(&logFont.elfLogFont, &metrics.tm, font.fontType, param);
    if (answer == 0) break;
  }
  return answer;
}
