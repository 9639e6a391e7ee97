// A device tray's reported paper size and media name matched with the model's papers and media
// types. Caller to come: the device configuration query.
#pragma once

#include <span>

#include "platform/base/types.h"

inline constexpr WORD kTrayPaperOutOfRange = 273;
inline constexpr WORD kTrayPaperCustom = 275;
inline constexpr WORD kTrayMediaUnknown = 28;

// A paper of the description database or of the user's table: number, width and length in
// the database's paper unit.
struct PaperSize {
  WORD number;
  WORD width;
  WORD length;
};

// What a paper source accepts: its custom-size range and its paper list (empty: none).
struct SourcePapers {
  WORD minWidth;
  WORD minLength;
  WORD maxWidth;
  WORD maxLength;
  std::span<const WORD> papers;
};

struct TrayPaper {
  WORD paper;
  DWORD width;
  DWORD length;
};

struct MediaType {
  WORD number;
  LPCWSTR name;
};

// The paper for a tray's dimensions (in 1/100 of the database's paper unit).
TrayPaper MatchTrayPaper(LONG feedDimension, LONG crossFeedDimension, std::span<const PaperSize> databasePapers,
                         std::span<const PaperSize> userPapers, const SourcePapers& source);
// The media number for a tray's media name; *customName a new text (GlobalFree) for a custom
// media type (13 to 17) named "<type>(<custom text>)", else NULL.
WORD MatchTrayMedia(LPCWSTR trayMediaName, std::span<const MediaType> mediaTypes, LPWSTR* customName);
