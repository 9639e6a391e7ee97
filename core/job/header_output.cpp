#include "core/job/header_output.h"

#include <cstring>

#include "core/job/job_header_status.h"
#include "items/codepage.h"
#include "platform/kernel/memory.h"

namespace {
constexpr char kUel[] = "\x1B%-12345X";
}  // namespace

int WriteUel(HeaderOutput* output) { return AppendBytes(kUel, sizeof kUel - 1, output); }

int WriteLineSeparator(HeaderOutput* output) { return AppendBytes("\n", 1, output); }

int AppendBytes(const char* bytes, DWORD n, HeaderOutput* output) {
  if (output == nullptr || output->length > output->capacity || n > output->capacity - output->length)
    return kJobHeaderFull;
  if (n > 0) std::memcpy(output->data + output->length, bytes, n);
  output->length += n;
  return static_cast<int>(n);
}

int AppendAnsi(LPCSTR text, HeaderOutput* output) {
  if (text == nullptr) return 0;
  return AppendBytes(text, static_cast<DWORD>(std::strlen(text)), output);
}

int AppendWideAsAnsi(LPCWSTR text, HeaderOutput* output) {
  if (text == nullptr || *text == 0) return 0;
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(text, &ansi, &length, 0)) return kJobTextConversionFailed;
  const int result = AppendBytes(ansi, static_cast<DWORD>(length), output);
  GlobalFree(ansi);
  return result;
}

int AppendKeyValue(LPCWSTR key, LPCWSTR value, HeaderOutput* output) {
  const int first = AppendWideAsAnsi(key, output);
  if (first < 0) return first;
  const int second = AppendWideAsAnsi(value, output);
  return second < 0 ? second : first + second;
}
