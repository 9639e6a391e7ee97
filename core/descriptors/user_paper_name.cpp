// Default names of the user paper slots.
#include "core/descriptors/user_paper_name.h"

#include "core/runtime/resource_module.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"

namespace {

constexpr UINT kUserPaperNameString = 16;
constexpr int kUserPaperNameChars = 32;
constexpr WCHAR kBuiltinUserPaperName[] = u"ユーザー定義";

}  // namespace

int FormatUserPaperName(int slot, LPWSTR output, int capacity) {
  if (output == nullptr || capacity < 1) return 0;
  WCHAR base[kUserPaperNameChars + 1] = {};
  AcquireResourceModule();
  HMODULE resources = GetResourceModule();
  const int loaded = resources != nullptr ? LoadStringW(resources, kUserPaperNameString, base, kUserPaperNameChars + 1) : 0;
  ReleaseResourceModule();
  if (loaded <= 0) lstrcpynW(base, kBuiltinUserPaperName, kUserPaperNameChars + 1);
  int length = lstrlenW(base);
  while (length > 0 && base[length - 1] >= u'0' && base[length - 1] <= u'9') --length;
  WCHAR number[16];
  const int digits = wsprintfW(number, u"%d", slot + 1);
  if (digits + 1 > capacity) {
    output[0] = 0;
    return 0;
  }
  if (length > capacity - 1 - digits) length = capacity - 1 - digits;
  for (int i = 0; i < length; ++i) output[i] = base[i];
  lstrcpyW(output + length, number);
  return 1;
}
