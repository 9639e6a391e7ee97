#include "ui/framework/text/error_text.h"

#include <algorithm>

#include "platform/base/text.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"

namespace {

// Characters of a resource string read for "%!".
constexpr int kResourceTextChars = 256;
// Room for one number or character expansion.
constexpr int kNumberChars = 16;

// The expansion of one directive into `work`; NULL when it writes nothing.
LPCWSTR ExpandDirective(WCHAR directive, HMODULE module, const FormatArg* arg, LPWSTR work, int workChars) {
  switch (directive) {
    case u'!':
      if (arg == nullptr || arg->kind != FormatArg::Kind::kNumber) return nullptr;
      return LoadStringW(module, static_cast<UINT>(arg->number), work, workChars) > 0 ? work : nullptr;
    case u's':
      if (arg == nullptr) return nullptr;
      if (arg->kind != FormatArg::Kind::kText) return nullptr;
      return arg->text != nullptr ? arg->text : u" ";
    case u'c':
      if (arg == nullptr || arg->kind != FormatArg::Kind::kNumber) return nullptr;
      work[0] = static_cast<WCHAR>(arg->number);
      work[1] = 0;
      return work;
    case u'd':
    case u'u':
    case u'x':
    case u'X': {
      if (arg == nullptr || arg->kind != FormatArg::Kind::kNumber) return nullptr;
      const WCHAR pattern[] = {u'%', u'l', directive, 0};
      wsprintfW(work, pattern, arg->number);
      return work;
    }
    default:
      work[0] = directive;
      work[1] = 0;
      return work;
  }
}

bool TakesArgument(WCHAR directive) {
  return directive == u'!' || directive == u's' || directive == u'c' || directive == u'd' || directive == u'u' ||
         directive == u'x' || directive == u'X';
}

}  // namespace

DWORD FormatErrorText(HMODULE resourceModule, LPWSTR buffer, DWORD size, DWORD* needed, LPCWSTR format,
                      std::span<const FormatArg> args) {
  if (format == nullptr) return 0;
  const DWORD room = (buffer != nullptr && size > 0) ? size - 1 : 0;
  DWORD written = 0;
  DWORD count = 1;  // the terminator
  size_t nextArg = 0;
  WCHAR work[std::max(kResourceTextChars, kNumberChars)];
  for (LPCWSTR at = format; *at != 0; ++at) {
    LPCWSTR piece = at;
    int pieceChars = 1;
    if (*at == u'%' && at[1] != 0) {
      const WCHAR directive = *++at;
      const FormatArg* arg = nullptr;
      if (TakesArgument(directive) && nextArg < args.size()) arg = &args[nextArg++];
      piece = ExpandDirective(directive, resourceModule, arg, work, kResourceTextChars);
      pieceChars = piece != nullptr ? lstrlenW(piece) : 0;
    }
    count += static_cast<DWORD>(pieceChars);
    const DWORD take = std::min<DWORD>(static_cast<DWORD>(pieceChars), room - written);
    std::copy_n(piece, take, buffer + written);
    written += take;
    if (written == room && needed == nullptr) break;
  }
  if (buffer != nullptr && size > 0) buffer[written] = 0;
  if (needed != nullptr) *needed = count;
  return written;
}
