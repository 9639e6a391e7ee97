// Repeating-XOR scrambling and Base64 coding of stored texts.
#include "items/text_protection.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <new>

#include "items/codepage.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"

namespace {

constexpr BYTE kScrambleKey[4] = {'k', 'b', 't', 'q'};
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Value of a character outside the alphabet in the decoding arithmetic.
constexpr unsigned kBase64Invalid = 255;

constexpr std::uint8_t Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<std::uint8_t>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return kBase64Invalid;
}

constexpr bool IsBase64Whitespace(char c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ';
}

// Common argument check of the five-argument routines.
int CheckArguments(const void* input, int length, const void* output, const int* written, int capacity) {
  if (input == nullptr || output == nullptr || written == nullptr) return kTextProtectNullArgument;
  if (length <= 0 || capacity <= 0) return kTextProtectBadLength;
  return kTextProtectOk;
}

// Capacity of the length + 1 byte scratch, without overflowing an int.
int ScratchCapacity(int length) { return length == INT_MAX ? INT_MAX : length + 1; }

// Zero-filled scratch of length + 1 bytes, or nullptr when memory runs out.
std::unique_ptr<BYTE[]> TakeScratch(int length) {
  return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[static_cast<std::size_t>(length) + 1]());
}

}  // namespace

int Base64EncodedSize(int n) {
  if (n < 0) return kTextProtectNoMemory;
  const std::int64_t size = (static_cast<std::int64_t>(n) + 2) / 3 * 4 + 1;
  return size > INT_MAX ? kTextProtectNoMemory : static_cast<int>(size);
}

int Base64DecodedSize(int n) {
  if (n < 0) return kTextProtectNoMemory;
  return n / 4 * 3 + 1;
}

int ScrambleBytes(const void* input, int length, void* output, int* written, int capacity) {
  if (int r = CheckArguments(input, length, output, written, capacity); r != kTextProtectOk) return r;
  const BYTE* in = static_cast<const BYTE*>(input);
  BYTE* out = static_cast<BYTE*>(output);
  int count = 0;
  // Whole groups of four, then the one to three bytes left; each group is checked against
  // the capacity before it is written.
  while (count < length) {
    const int group = length - count >= 4 ? 4 : length - count;
    if (count + group > capacity) {
      *written = count;
      return kTextProtectTooSmall;
    }
    for (int i = 0; i < group; ++i) out[count + i] = in[count + i] ^ kScrambleKey[i];
    count += group;
  }
  *written = count;
  return kTextProtectOk;
}

int EncodeBase64(const void* input, int length, char* output, int* written, int capacity) {
  if (int r = CheckArguments(input, length, output, written, capacity); r != kTextProtectOk) return r;
  const std::int64_t needed = (static_cast<std::int64_t>(length) + 2) / 3 * 4;
  if (capacity < needed) return kTextProtectTooSmall;
  const BYTE* in = static_cast<const BYTE*>(input);
  int out = 0;
  for (int i = 0; i < length; i += 3) {
    const int left = length - i;
    const unsigned b0 = in[i];
    const unsigned b1 = left > 1 ? in[i + 1] : 0;
    const unsigned b2 = left > 2 ? in[i + 2] : 0;
    output[out++] = kBase64Alphabet[b0 >> 2];
    output[out++] = kBase64Alphabet[((b0 & 0x3) << 4) | (b1 >> 4)];
    output[out++] = left > 1 ? kBase64Alphabet[((b1 & 0xF) << 2) | (b2 >> 6)] : '=';
    output[out++] = left > 2 ? kBase64Alphabet[b2 & 0x3F] : '=';
  }
  *written = out;
  return kTextProtectOk;
}

int DecodeBase64(const char* input, int length, void* output, int* written, int capacity) {
  if (int r = CheckArguments(input, length, output, written, capacity); r != kTextProtectOk) return r;
  const std::int64_t needed = (static_cast<std::int64_t>(length) + 3) / 4 * 3;
  if (capacity < needed) return kTextProtectTooSmall;
  BYTE* out = static_cast<BYTE*>(output);
  int pos = 0;
  int count = 0;
  // Reading stops at the terminator or at the caller's length, never beyond it.
  auto skip_blanks = [&] {
    while (pos < length && IsBase64Whitespace(input[pos])) ++pos;
  };
  auto at_end = [&] { return pos >= length || input[pos] == '\0'; };
  skip_blanks();
  while (!at_end()) {
    char group[4];
    int got = 0;
    while (got < 4 && !at_end()) {
      group[got++] = input[pos++];
      skip_blanks();
    }
    if (got < 3) break;
    const unsigned v0 = Base64Value(group[0]);
    const unsigned v1 = Base64Value(group[1]);
    const unsigned v2 = Base64Value(group[2]);
    const unsigned v3 = got == 4 ? Base64Value(group[3]) : 0;
    int bytes = 3;
    if (group[2] == '=' || got == 3) {
      bytes = 1;
    } else if (group[3] == '=') {
      bytes = 2;
    }
    if (count + bytes > capacity) break;  // cannot happen after the size check; kept as a guard
    out[count++] = static_cast<BYTE>((v0 << 2) | (v1 >> 4));
    if (bytes > 1) out[count++] = static_cast<BYTE>((v1 << 4) | (v2 >> 2));
    if (bytes > 2) out[count++] = static_cast<BYTE>((v2 << 6) | v3);
    if (bytes < 3) break;
  }
  *written = count;
  return kTextProtectOk;
}

int EncodeText(const void* input, int length, char* output, int* written, int capacity) {
  if (int r = CheckArguments(input, length, output, written, capacity); r != kTextProtectOk) return r;
  std::unique_ptr<BYTE[]> scratch = TakeScratch(length);
  if (!scratch) return kTextProtectNoMemory;
  int scrambled = 0;
  if (int r = ScrambleBytes(input, length, scratch.get(), &scrambled, ScratchCapacity(length)); r != kTextProtectOk) return r;
  return EncodeBase64(scratch.get(), scrambled, output, written, capacity);
}

int DecodeText(const char* input, int length, void* output, int* written, int capacity) {
  if (int r = CheckArguments(input, length, output, written, capacity); r != kTextProtectOk) return r;
  std::unique_ptr<BYTE[]> scratch = TakeScratch(length);
  if (!scratch) return kTextProtectNoMemory;
  int decoded = 0;
  if (int r = DecodeBase64(input, length, scratch.get(), &decoded, ScratchCapacity(length)); r != kTextProtectOk) return r;
  return ScrambleBytes(scratch.get(), decoded, output, written, capacity);
}

namespace {

// Frees a global block when it goes out of scope.
struct GlobalBlock {
  void* p = nullptr;
  ~GlobalBlock() {
    if (p != nullptr) GlobalFree(p);
  }
};

}  // namespace

int ConvertEncodedText(int mode, LPCWSTR text, LPWSTR* result) {
  if (text == nullptr || text[0] == 0 || result == nullptr) return 0;
  GlobalBlock ansi;
  int length = 0;
  LPSTR narrow = nullptr;
  if (!WideToMultiByteCp(text, &narrow, &length, CP_ACP)) return 0;
  ansi.p = narrow;
  if (length <= 0) return 0;
  // The output block keeps one zero byte after the longest possible result, so the text
  // handed back to the wide conversion is always terminated.
  int size;
  if (mode == kConvertEncode) {
    size = Base64EncodedSize(length);
  } else {
    size = (length + 3) / 4 * 3 + 1;
  }
  if (size <= 0) return 0;
  GlobalBlock coded;
  coded.p = GlobalAlloc(GPTR, static_cast<SIZE_T>(size));
  if (coded.p == nullptr) return 0;
  int written = 0;
  const int r = mode == kConvertEncode
                    ? EncodeText(narrow, length, static_cast<char*>(coded.p), &written, size - 1)
                    : DecodeText(narrow, length, coded.p, &written, size - 1);
  if (r != kTextProtectOk) return 0;
  LPWSTR wide = nullptr;
  int count = 0;
  if (!MultiByteToWideCp(static_cast<LPCSTR>(coded.p), &wide, &count, CP_ACP)) return 0;
  *result = wide;
  return 1;
}
