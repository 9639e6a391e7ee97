// The picture controls (see picture_controls.h): the subclass procedure that paints them, the
// renderer with its see-through colour, and the builders of the row bitmaps and the device.
#include "items/item_ids.h"
#include "ui/pages/picture_controls.h"

#include <algorithm>
#include <cstring>

#include "core/constraints/record_conditions.h"
#include "core/database/database.h"
#include "core/database/database_status.h"
#include "core/database/dbrecords.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/comctl/propsheet.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/qrs.h"
#include "platform/kernel/resource.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

// The controls that show a row's own bitmap (the first word of the row's kind data).
constexpr LONG kRowBitmapControls[] = {1105, 1761, 1762, 3841, 4026, 4027, 4028, 4308, 4309};
// The controls that show the device.
constexpr LONG kDevicePictureControl = 1187, kDeviceOptionsPictureControl = 1310;

constexpr WORD kPictureRecordType = 9;
// The model feature that keeps item 4114 out of the device picture's conditions.
constexpr DWORD kNoItem4114Feature = 0x100000;
constexpr BYTE kOperatorDiffers = 2;
constexpr LPCWSTR kPreviousProcedure = u"QvPictureProcedure";

bool IsRowBitmapControl(LONG id) {
  return std::find(std::begin(kRowBitmapControls), std::end(kRowBitmapControls), id) != std::end(kRowBitmapControls);
}
bool IsDeviceControl(LONG id) { return id == kDevicePictureControl || id == kDeviceOptionsPictureControl; }

// Draws one bitmap at (x, y) with its magenta pixels left out. The bitmap's pixels are read
// once into a two-level mask (white where the bitmap is magenta, black elsewhere) and a copy
// whose magenta is black; the mask cuts the place out of the target (SRCAND) and the copy is
// painted into the hole (SRCPAINT).
bool DrawSeeThrough(HDC target, const PictureEntry& entry, LONG x, const BITMAP& size) {
  const int width = size.bmWidth, height = size.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<DWORD> pixels(size_t(width) * size_t(height));
  if (GetDIBits(target, entry.bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS) != height) return false;
  constexpr DWORD kKey = 0x00FF00FF, kWhite = 0x00FFFFFF;
  std::vector<DWORD> mask(pixels.size());
  for (size_t n = 0; n < pixels.size(); ++n) {
    const bool key = (pixels[n] & kWhite) == kKey;
    mask[n] = key ? kWhite : 0;
    if (key) pixels[n] = 0;
  }
  HBITMAP maskBitmap = CreateBitmap(width, height, 1, 32, mask.data());
  HBITMAP keyed = CreateBitmap(width, height, 1, 32, pixels.data());
  HDC source = CreateCompatibleDC(target);
  bool done = false;
  if (maskBitmap != nullptr && keyed != nullptr && source != nullptr) {
    HGDIOBJ old = SelectObject(source, maskBitmap);
    done = BitBlt(target, x, entry.y, width, height, source, 0, 0, SRCAND);
    SelectObject(source, keyed);
    done = done && BitBlt(target, x, entry.y, width, height, source, 0, 0, SRCPAINT);
    SelectObject(source, old);
  }
  if (source != nullptr) DeleteDC(source);
  if (keyed != nullptr) DeleteObject(keyed);
  if (maskBitmap != nullptr) DeleteObject(maskBitmap);
  return done;
}

// The row's bitmap: the first word of the kind data of the control's row on the page.
WORD BuildRowBitmapPicture(HWND dialog, LONG controlId, PictureList* list) {
  LONG pageIndex = -4;
  SendMessageW(dialog, WM_QUERYPAGEINDEX, 0, reinterpret_cast<LPARAM>(&pageIndex));
  if (pageIndex == -4) return kPictureFailed;
  const ControlRow* row = FindRowByControlId(dialog, pageIndex, controlId);
  if (row == nullptr || row->kindData == nullptr) return kPictureFailed;
  HBITMAP bitmap = nullptr;
  const WORD status = LoadPictureBitmap(GetResourceModule(), static_cast<WORD>(*static_cast<const DWORD*>(row->kindData)), &bitmap);
  if (status != kPictureDone) return status;
  list->entries.push_back({bitmap, 0, 0});
  return kPictureDone;
}

// A stored condition value as a number of `bytes` bytes (little-endian, as stored).
DWORD StoredNumber(const StoredValue& value, size_t bytes) {
  DWORD number = 0;
  if (value.value == nullptr) return 0;
  std::memcpy(&number, value.value, std::min<size_t>({bytes, value.length, sizeof(number)}));
  return number;
}

// Whether one condition holds for the settings; false with a status for a read error.
bool ConditionHolds(const ItemValueElement& test, LONG controlId, bool without4114, SettingsRecord* settings,
                    PrinterConfiguration* config, WORD* status) {
  const SettingItemId id = test.item;
  if (controlId == kDeviceOptionsPictureControl && !((id >= 4097 && id <= 4362) || id == 5123)) return false;
  if (controlId == kDevicePictureControl && without4114 && id == kItemDevicePictureOption) return false;
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone) {
    *status = kPictureUnreadable;
    return false;
  }
  bool equal = false;
  switch (type) {
    case 1: case 4: case 5: equal = cell.number == StoredNumber(test.value, 4); break;
    case 2: case 3: equal = cell.word == static_cast<WORD>(StoredNumber(test.value, 2)); break;
    case 8: equal = cell.byte == static_cast<BYTE>(StoredNumber(test.value, 1)); break;
    case 6: {
      const auto* expected = static_cast<LPCWSTR>(test.value.value);
      const auto* text = static_cast<LPCWSTR>(cell.data);
      // The expected text must end inside the stored value.
      const size_t room = test.value.length / sizeof(WCHAR);
      const bool ended = expected != nullptr && std::find(expected, expected + room, u'\0') != expected + room;
      equal = ended && text != nullptr && lstrcmpW(text, expected) == 0;
      break;
    }
    default: return false;
  }
  return test.op == kOperatorDiffers ? !equal : equal;
}

bool EndsAlternative(BYTE connector) { return connector == kConnectEnd || connector == kConnectEndGroup; }

}  // namespace

WORD PictureRecordApplies(const ConditionList& conditions, LONG controlId, bool without4114, SettingsRecord* settings,
                   PrinterConfiguration* config, bool* applies) {
  *applies = true;
  if (conditions.count == 0) return kPictureDone;
  bool held = false;
  WORD i = 0;
  while (i < conditions.count) {
    WORD status = kPictureDone;
    held = ConditionHolds(conditions.items[i].test, controlId, without4114, settings, config, &status);
    if (status != kPictureDone) return status;
    const BYTE connector = conditions.items[i].connector;
    if (held && EndsAlternative(connector)) return kPictureDone;
    if (held && connector == kConnectOr) {
      WORD last = i + 1;
      while (last < conditions.count && conditions.items[last].connector == kConnectOr) ++last;
      if (last >= conditions.count) break;
      if (EndsAlternative(conditions.items[last].connector)) return kPictureDone;
      i = last + 1;
    } else if (held || connector == kConnectOr) {
      ++i;
    } else {
      WORD end = i;
      while (end < conditions.count && !EndsAlternative(conditions.items[end].connector)) ++end;
      i = end + 1;
    }
  }
  *applies = held;
  return kPictureDone;
}

namespace {

// Builds and draws the control's picture.
void PaintPicture(HWND control, HWND dialog, LONG controlId) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(control, &paint);
  SettingsRecord* settings = nullptr;
  PrinterConfiguration* config = nullptr;
  if (dc != nullptr && GetCurrentSettings(dialog, &settings, &config)) {
    PictureList list;
    WORD status = kPictureFailed;
    if (IsRowBitmapControl(controlId)) status = BuildRowBitmapPicture(dialog, controlId, &list);
    else if (IsDeviceControl(controlId)) status = BuildDevicePicture(dialog, controlId, settings, config, &list);
    RECT rect{};
    GetClientRect(control, &rect);
    // A picture that cannot be built or drawn leaves the control as it was.
    const bool mirrored = (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    if (status == kPictureDone) RenderPictureList(dc, rect, list, mirrored);
  }
  EndPaint(control, &paint);
}

LRESULT CALLBACK PictureControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(control, kPreviousProcedure));
  HWND dialog = GetParent(control);
  const LONG controlId = GetDlgCtrlID(control);
  if (message == WM_NCDESTROY && previous != nullptr) {
    // The control goes: its own procedure comes back first, so that it can clean up.
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropW(control, kPreviousProcedure);
    return CallWindowProcW(previous, control, message, wParam, lParam);
  }
  if (previous == nullptr) return 0;
  if (message == WM_ERASEBKGND) return 1;
  // The picture is the whole of the control's paint: the static's own paint would only cover
  // it with its background.
  if (message == WM_PAINT && dialog != nullptr && FindSheetState(dialog) != nullptr && controlId > 0) {
    PaintPicture(control, dialog, controlId);
    return 0;
  }
  return CallWindowProcW(previous, control, message, wParam, lParam);
}

void Subclass(HWND control) {
  if (control == nullptr || GetPropW(control, kPreviousProcedure) != nullptr) return;
  const LONG_PTR previous = GetWindowLongPtrW(control, GWLP_WNDPROC);
  if (previous == 0 || !SetPropW(control, kPreviousProcedure, reinterpret_cast<HANDLE>(previous))) return;
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PictureControlProc));
}

}  // namespace

PictureList::~PictureList() {
  for (const PictureEntry& entry : entries) DeleteObject(entry.bitmap);
}

WORD LoadPictureBitmap(HMODULE module, WORD resourceId, HBITMAP* bitmap) {
  *bitmap = nullptr;
  if (module == nullptr || FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_BITMAP) == nullptr)
    return kPictureMissingBitmap;
  *bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(resourceId));
  return *bitmap != nullptr ? kPictureDone : kPictureMissingBitmap;
}

HBITMAP CreateBitmapFromDib(HDC dc, const BYTE* dib, DWORD size) {
  BITMAPINFOHEADER header{};
  if (dib == nullptr || size < sizeof(header)) return nullptr;
  std::memcpy(&header, dib, sizeof(header));
  if (header.biSize != sizeof(header) || header.biWidth < 1 || header.biWidth > 4096 || header.biHeight == 0 ||
      header.biHeight > 4096 || header.biHeight < -4096 || header.biCompression != 0)
    return nullptr;
  const WORD bits = header.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return nullptr;
  const DWORD most = bits <= 8 ? 1u << bits : 0;
  const DWORD colours = bits <= 8 ? (header.biClrUsed != 0 ? header.biClrUsed : most) : 0;
  if (colours > most) return nullptr;
  const DWORD rowBytes = ((DWORD(header.biWidth) * bits + 31) / 32) * 4;
  const DWORD rows = DWORD(header.biHeight < 0 ? -header.biHeight : header.biHeight);
  const DWORD need = sizeof(header) + colours * 4 + rowBytes * rows;
  if (need > size) return nullptr;
  return CreateDIBitmap(dc, &header, CBM_INIT, dib + sizeof(header) + colours * 4,
                        reinterpret_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
}

WORD RenderPictureList(HDC dc, const RECT& rect, const PictureList& list, bool mirrored) {
  const int width = std::abs(rect.right - rect.left), height = std::abs(rect.bottom - rect.top);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP canvas = memory != nullptr ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (canvas == nullptr) {
    if (memory != nullptr) DeleteDC(memory);
    return kPictureFailed;
  }
  HGDIOBJ old = SelectObject(memory, canvas);
  RECT whole{0, 0, width, height};
  FillRect(memory, &whole, GetSysColorBrush(COLOR_BTNFACE));
  WORD status = kPictureDone;
  for (const PictureEntry& entry : list.entries) {
    BITMAP size{};
    if (GetObjectW(entry.bitmap, sizeof(size), &size) == 0) {
      status = kPictureFailed;
      break;
    }
    const LONG x = mirrored ? width - size.bmWidth - entry.x : entry.x;
    if (!DrawSeeThrough(memory, entry, x, size)) {
      status = kPictureFailed;
      break;
    }
  }
  if (status == kPictureDone && !BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY))
    status = kPictureFailed;
  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
  return status;
}

WORD BuildDevicePicture(HWND dialog, LONG controlId, SettingsRecord* settings, PrinterConfiguration* config,
                        PictureList* list) {
  SheetState* sheet = dialog != nullptr ? FindSheetState(dialog) : nullptr;
  if (sheet == nullptr || sheet->store == nullptr || list == nullptr) return kPictureFailed;
  HWND control = GetDlgItem(dialog, controlId);
  // The device is drawn as it stands, never mirrored.
  if (control != nullptr && HasSheetFeature(sheet, kRightToLeftFeature) == 1)
    SetWindowLongW(control, GWL_EXSTYLE, GetWindowLongW(control, GWL_EXSTYLE) & ~WS_EX_LAYOUTRTL);
  const bool without4114 = HasSheetFeature(sheet, kNoItem4114Feature) == 1;
  HDC screen = GetDC(dialog);
  WORD status = kPictureDone;
  for (WORD position = 1; status == kPictureDone; ++position) {
    DatabaseRecord* record = nullptr;
    const WORD read = ReadRecord(TRUE, sheet->store->main, sheet->store->linked, kPictureRecordType, position, &record);
    if (read == kDbAbsent) break;
    if (read != kDbOk || record == nullptr) {
      FreeRecord(&record, kDbAnyType);
      status = kPictureDatabaseError;
      break;
    }
    const auto* reference = reinterpret_cast<const PictureRefRecord*>(record);
    bool applies = false;
    status = PictureRecordApplies(reference->conditions, controlId, without4114, settings, config, &applies);
    if (status == kPictureDone && applies) {
      WORD x = 0, y = 0;
      BYTE* dib = nullptr;
      DWORD size = 0;
      const WORD picture = ReadPictureOfRecord(sheet->store->main, sheet->store->linked, record, &x, &y, &dib, &size);
      if (picture == kDbFailed) status = kPictureDatabaseError;
      else if (picture == kDbOk) {
        HBITMAP bitmap = CreateBitmapFromDib(screen, dib, size);
        if (bitmap != nullptr) list->entries.push_back({bitmap, x, y});
      }
      if (dib != nullptr) ReleaseGlobalBlock(dib);
    }
    FreeRecord(&record, kDbAnyType);
  }
  if (screen != nullptr) ReleaseDC(dialog, screen);
  return status;
}

INT_PTR PictureRowCallback(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                           const ControlRow* row, const void*) {
  if (context == nullptr || row == nullptr || context->window == nullptr) return 0;
  HWND control = GetDlgItem(context->window, row->controlId);
  if (message == WM_INITDIALOG) {
    Subclass(control);
  } else if (IsDeviceControl(row->controlId) && control != nullptr &&
             (message == WM_REFRESHCONTROLS || IsNotice(message, lParam, PSN_SETACTIVE) ||
              message == WM_QUERYNEWPALETTE ||
              (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(wParam) != control))) {
    InvalidateRect(control, nullptr, FALSE);
  }
  return 0;
}
