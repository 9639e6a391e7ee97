#include "platform/kernel/ansi_text.h"

#include "platform/kernel/codepage.h"

std::u16string AnsiToWide(LPCSTR text) {
  if (!text || !*text) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return {};
  std::u16string out(size_t(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
  out.resize(size_t(n) - 1);
  return out;
}

std::string WideToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}
