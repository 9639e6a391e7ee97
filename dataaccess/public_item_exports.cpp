// The DMA_ exports for single items: numbers and flags, strings in the ANSI code page, fonts
// as LOGFONTA, and the write-only secret-string items.
#include <algorithm>
#include <cstring>

#include "dataaccess/dma_interface.h"
#include "items/item_engine.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"

namespace {

// The string field that the public interface copies raw, bytes as they are.
constexpr DWORD kLogFontASize = sizeof(LOGFONTA);
// The largest string field (522 bytes) in wide characters.
constexpr int kMaxFieldChars = 261;

enum class CallKind { Number, String, Font };

struct PublicItem {
  SettingItemId id;
  ItemLocation location;
  int secret;  // index into SecretLengthTable, or -1
};

// The first steps of every item export: the item of the public id, its place in the
// context's records, and whether the call suits its kind.
DmaResult OpenPublicItem(DmaContext* context, PublicItemId publicId, CallKind call, PublicItem* item) {
  if (context == nullptr) return kDmaFailed;
  item->id = MapPublicItemId(publicId);
  if (item->id == 0) return kDmaNoItem;
  if (LocateItem(item->id, context->settings, context->config, &item->location) != kItemDone) return kDmaFailed;
  const ValueTypeCode type = item->location.row->type;
  switch (call) {
    case CallKind::Number:
      if (type == kTypeString) return kDmaIsString;
      if (type == kTypeFont) return kDmaIsFont;
      break;
    case CallKind::String:
      if (type == kTypeFont) return kDmaIsFont;
      if (type != kTypeString) return kDmaWrongKind;
      break;
    case CallKind::Font:
      if (type == kTypeString) return kDmaIsString;
      if (type != kTypeFont) return kDmaWrongKind;
      break;
  }
  item->secret = publicId >= kFirstSecretId && publicId < kFirstSecretId + kSecretItemCount
                     ? int(publicId - kFirstSecretId)
                     : -1;
  return kDmaDone;
}

int FieldChars(const PublicItem& item) { return int(item.location.row->byteLength / 2); }

// The field's text (characters before the first zero, at most the whole field) copied out
// of the record, which need not be aligned.
int ReadFieldText(const PublicItem& item, WCHAR* text) {
  const int chars = FieldChars(item);
  std::memcpy(text, item.location.address, size_t(chars) * 2);
  int n = 0;
  while (n < chars && text[n] != 0) ++n;
  return n;
}

// ANSI bytes of n wide characters, without terminator.
int AnsiSize(const WCHAR* text, int n) {
  return n == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, text, n, nullptr, 0, nullptr, nullptr);
}

// Stores n ANSI bytes as the field's text, terminated. A text that does not fit whole is
// refused and the field left as it was.
DmaResult StoreAnsiText(const PublicItem& item, const char* text, int n) {
  WCHAR wide[kMaxFieldChars];
  const int capacity = FieldChars(item) - 1;  // room left by the terminator
  int count = 0;
  if (n > 0) {
    // A capacity of 0 would ask the conversion for a size instead of converting.
    if (capacity == 0) return kDmaTooLong;
    count = MultiByteToWideChar(CP_ACP, 0, text, n, wide, capacity);
    if (count == 0) return kDmaTooLong;
  }
  wide[count] = 0;
  std::memcpy(item.location.address, wide, size_t(count + 1) * 2);
  return kDmaDone;
}

// Secret items hold the Base64 form of the scrambled input.
DmaResult StoreSecretText(const PublicItem& item, const char* text, DWORD length) {
  const DWORD limit = SecretLengthTable[item.secret];
  if (length > limit) return kDmaTooLong;
  // The text ends at its terminator or at the caller's length, whichever comes first.
  const int n = int(strnlen(text, length));
  if (DWORD(n) + 1 > limit) return kDmaTooLong;
  char block[32] = {};
  int written = 0;
  if (n > 0 && EncodeText(text, n, block, &written, Base64EncodedSize(n)) != kTextProtectOk) return kDmaFailed;
  return StoreAnsiText(item, block, written);
}

// LOGFONTW and LOGFONTA share their first 28 bytes (five 32-bit fields, eight byte fields).
constexpr size_t kLogFontFixedPart = offsetof(LOGFONTW, lfFaceName);
static_assert(kLogFontFixedPart == offsetof(LOGFONTA, lfFaceName) && kLogFontFixedPart == 28);

}  // namespace

DLLEXPORT DmaResult WINAPI DMA_GetValue(DmaContext* context, PublicItemId publicId, DWORD* value) {
  PublicItem item;
  if (const DmaResult r = OpenPublicItem(context, publicId, CallKind::Number, &item); r != kDmaDone) return r;
  if (value == nullptr) return kDmaFailed;
  *value = 0;
  ValueTypeCode type;
  DWORD length;
  ItemArea area;
  BYTE buffer[sizeof(ULONG_PTR)] = {};
  if (itemengine::dma_GetValue(item.id, context->settings, context->config, &type, &length, buffer, &area) !=
      kItemDone)
    return kDmaFailed;
  std::memcpy(value, buffer, sizeof(DWORD));
  return kDmaDone;
}

DLLEXPORT DmaResult WINAPI DMA_SetValue(DmaContext* context, PublicItemId publicId, DWORD value) {
  PublicItem item;
  if (const DmaResult r = OpenPublicItem(context, publicId, CallKind::Number, &item); r != kDmaDone) return r;
  // In the item's own type and size: the low-order bytes of the value are stored.
  return itemengine::dma_SetValue(item.id, context->settings, context->config, item.location.row->type,
                                  item.location.size, &value) == kItemDone
             ? kDmaDone
             : kDmaFailed;
}

DLLEXPORT DmaResult WINAPI DMA_GetStringData(DmaContext* context, PublicItemId publicId, LPSTR buffer,
                                             DWORD* length) {
  PublicItem item;
  if (const DmaResult r = OpenPublicItem(context, publicId, CallKind::String, &item); r != kDmaDone) return r;
  if (length == nullptr) return kDmaFailed;
  const DWORD fieldBytes = item.location.row->byteLength;
  WCHAR text[kMaxFieldChars];
  const int n = ReadFieldText(item, text);
  // Bytes the caller needs: the field's character count, or more when the ANSI form of the
  // text is longer (double-byte code pages), terminator included.
  const DWORD needed = item.id == kItemOneTimeText ? fieldBytes
                                                 : std::max<DWORD>(FieldChars(item), DWORD(AnsiSize(text, n)) + 1);
  if (buffer == nullptr && *length == 0) {
    *length = item.secret >= 0 ? SecretLengthTable[item.secret] : needed;
    return kDmaTooSmall;
  }
  if (item.secret >= 0 || buffer == nullptr) return kDmaFailed;
  if (*length < needed) {
    *length = needed;
    return kDmaTooSmall;
  }
  if (item.id == kItemOneTimeText) {
    std::memcpy(buffer, item.location.address, fieldBytes);
    return kDmaDone;
  }
  // The whole field is converted: the text, its terminator and whatever the field holds after
  // it, one byte per character in the single-byte code pages.
  WCHAR field[kMaxFieldChars];
  const int chars = FieldChars(item);
  std::memcpy(field, item.location.address, size_t(chars) * 2);
  if (WideCharToMultiByte(CP_ACP, 0, field, chars, buffer, int(needed), nullptr, nullptr) != 0) return kDmaDone;
  // A double-byte text whose field's rest no longer fits the bytes asked for: the text and its
  // terminator, and zeros up to them.
  const int written = n == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, text, n, buffer, int(needed) - 1, nullptr, nullptr);
  if (n > 0 && written == 0) return kDmaFailed;
  std::memset(buffer + written, 0, needed - DWORD(written));
  return kDmaDone;
}

DLLEXPORT DmaResult WINAPI DMA_SetStringData(DmaContext* context, PublicItemId publicId, LPCSTR text, DWORD length) {
  PublicItem item;
  if (const DmaResult r = OpenPublicItem(context, publicId, CallKind::String, &item); r != kDmaDone) return r;
  if (text == nullptr) return kDmaFailed;
  if (item.secret >= 0) return StoreSecretText(item, text, length);
  const DWORD fieldBytes = item.location.row->byteLength;
  if (item.id == kItemOneTimeText) {
    // Exactly the caller's bytes; the rest of the field is cleared.
    if (length > fieldBytes) return kDmaTooLong;
    std::memcpy(item.location.address, text, length);
    std::memset(item.location.address + length, 0, fieldBytes - length);
    return kDmaDone;
  }
  if (length > DWORD(FieldChars(item))) return kDmaTooLong;
  return StoreAnsiText(item, text, int(strnlen(text, length)));
}

DLLEXPORT DmaResult WINAPI DMA_GetLogFontData(DmaContext* context, PublicItemId publicId, LOGFONTA* font,
                                              DWORD* length) {
  PublicItem item;
  if (const DmaResult r = OpenPublicItem(context, publicId, CallKind::Font, &item); r != kDmaDone) return r;
  if (length == nullptr) return kDmaFailed;
  if (font == nullptr && *length == 0) {
    *length = kLogFontASize;
    return kDmaTooSmall;
  }
  if (font == nullptr) return kDmaFailed;
  if (*length < kLogFontASize) {
    *length = kLogFontASize;
    return kDmaTooSmall;
  }
  LOGFONTW stored;
  std::memcpy(&stored, item.location.address, sizeof stored);
  LOGFONTA result{};
  std::memcpy(&result, &stored, kLogFontFixedPart);
  int n = 0;
  while (n < LF_FACESIZE && stored.lfFaceName[n] != 0) ++n;
  // A LOGFONTA holds 31 bytes of name: a longer ANSI form keeps the whole characters that fit.
  while (n > 0 && AnsiSize(stored.lfFaceName, n) > LF_FACESIZE - 1) --n;
  if (n > 0 && WideCharToMultiByte(CP_ACP, 0, stored.lfFaceName, n, result.lfFaceName, LF_FACESIZE - 1, nullptr,
                                   nullptr) == 0)
    return kDmaFailed;
  std::memcpy(font, &result, sizeof result);
  return kDmaDone;
}

DLLEXPORT DmaResult WINAPI DMA_SetLogFontData(DmaContext* context, PublicItemId publicId, const LOGFONTA* font,
                                              DWORD length) {
  PublicItem item;
  if (const DmaResult r = OpenPublicItem(context, publicId, CallKind::Font, &item); r != kDmaDone) return r;
  if (font == nullptr) return kDmaFailed;
  if (length > kLogFontASize) return kDmaTooLong;
  // The whole LOGFONTA is read, so a shorter buffer is refused.
  if (length < kLogFontASize) return kDmaTooSmall;
  LOGFONTA given;
  std::memcpy(&given, font, sizeof given);
  LOGFONTW stored{};
  std::memcpy(&stored, &given, kLogFontFixedPart);
  const int n = int(strnlen(given.lfFaceName, LF_FACESIZE));
  if (n > 0 && MultiByteToWideChar(CP_ACP, 0, given.lfFaceName, n, stored.lfFaceName, LF_FACESIZE - 1) == 0)
    return kDmaTooLong;
  const LOGFONTW* source = &stored;
  return itemengine::dma_SetValue(item.id, context->settings, context->config, kTypeFont, kLogFontSize, &source) ==
                 kItemDone
             ? kDmaDone
             : kDmaFailed;
}
