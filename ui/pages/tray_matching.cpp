// Matching of the sizes and media names the device reports for its trays.
#include "ui/pages/tray_matching.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "ui/framework/text/ansi_text.h"

namespace {

constexpr int64_t kUserPaperTolerance = 1000;
constexpr WORD kFirstCustomMedia = 13;
constexpr WORD kLastCustomMedia = 17;

bool Lists(std::span<const WORD> papers, WORD number) {
  return std::find(papers.begin(), papers.end(), number) != papers.end();
}

bool Near(int64_t a, int64_t b) { return a - b <= kUserPaperTolerance && b - a <= kUserPaperTolerance; }

}  // namespace

TrayPaper MatchTrayPaper(LONG feedDimension, LONG crossFeedDimension, std::span<const PaperSize> databasePapers,
                         std::span<const PaperSize> userPapers, const SourcePapers& source) {
  if (feedDimension < 0 || crossFeedDimension < 0) return {kTrayPaperOutOfRange, 0, 0};
  const int64_t w = std::min(feedDimension, crossFeedDimension);
  const int64_t l = std::max(feedDimension, crossFeedDimension);
  const TrayPaper sized{0, static_cast<DWORD>(w / 100), static_cast<DWORD>(l / 100)};
  // Only the first database paper of this exact size counts, and only when the source takes it.
  for (const PaperSize& paper : databasePapers) {
    if (IsUserPaperId(paper.number) || int64_t{paper.width} * 100 != w || int64_t{paper.length} * 100 != l) continue;
    if (Lists(source.papers, paper.number)) return {paper.number, sized.width, sized.length};
    break;
  }
  for (const PaperSize& paper : userPapers)
    if (Near(int64_t{paper.width} * 100, w) && Near(int64_t{paper.length} * 100, l))
      return {paper.number, sized.width, sized.length};
  const bool fits = sized.width >= source.minWidth && sized.width <= source.maxWidth &&
                    sized.length >= source.minLength && sized.length <= source.maxLength;
  return {fits ? kTrayPaperCustom : kTrayPaperOutOfRange, sized.width, sized.length};
}

WORD MatchTrayMedia(LPCWSTR trayMediaName, std::span<const MediaType> mediaTypes, LPWSTR* customName) {
  *customName = nullptr;
  if (trayMediaName == nullptr) return kTrayMediaUnknown;
  const std::u16string_view tray(trayMediaName);
  for (const MediaType& media : mediaTypes) {
    if (media.name == nullptr) continue;
    const std::u16string_view name(media.name);
    if (media.number < kFirstCustomMedia || media.number > kLastCustomMedia) {
      if (tray == name) return media.number;
      continue;
    }
    if (!tray.starts_with(name) || tray.size() <= name.size() || tray[name.size()] != u'(') continue;
    // The custom text lies between the "(" after the type's name and the last ")".
    LPWSTR text = nullptr;
    DWORD length = 0;
    if (ExtractDelimited(&text, &length, trayMediaName + name.size(), u'(', u')') == 0) return kTrayMediaUnknown;
    if (length == 0)
      GlobalFree(text);
    else
      *customName = text;
    return media.number;
  }
  return kTrayMediaUnknown;
}
