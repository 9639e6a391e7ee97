// Small pictures for the GDI tests: a memory DC over a white bitmap, and its pixels as rows of
// letters so that an expected picture reads as it looks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"

// The letters of the pictures and their colours.
struct PictureLetter {
  char letter;
  COLORREF color;
};

inline constexpr PictureLetter kPictureLetters[] = {
    {'.', RGB(255, 255, 255)}, {'#', RGB(0, 0, 0)},     {'r', RGB(255, 0, 0)},     {'g', RGB(0, 255, 0)},
    {'b', RGB(0, 0, 255)},     {'c', RGB(0, 255, 255)}, {'y', RGB(255, 255, 0)},   {'m', RGB(255, 0, 255)},
};

inline char LetterOf(COLORREF color) {
  for (const PictureLetter& l : kPictureLetters)
    if (l.color == color) return l.letter;
  return '?';
}

// A memory DC with a white bitmap of width x height selected; the destructor puts the DC's
// first bitmap back and deletes both.
class PictureDc {
 public:
  PictureDc(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    first_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~PictureDc() {
    SelectObject(dc_, first_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  PictureDc(const PictureDc&) = delete;
  PictureDc& operator=(const PictureDc&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }

  // The pixels as rows of letters ('?' for a colour without one).
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    // Read every pixel, whatever clip and origins the drawing left.
    SaveDC(dc_);
    SelectClipRgn(dc_, nullptr);
    SetViewportOrgEx(dc_, 0, 0, nullptr);
    SetWindowOrgEx(dc_, 0, 0, nullptr);
    for (int y = 0; y < height_; ++y) {
      std::string row;
      for (int x = 0; x < width_; ++x) row += LetterOf(GetPixel(dc_, x, y));
      rows.push_back(row);
    }
    RestoreDC(dc_, -1);
    return rows;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ first_ = nullptr;
};

inline std::string Joined(const std::vector<std::string>& rows) {
  std::string all;
  for (const std::string& r : rows) all += r + "\n";
  return all;
}
