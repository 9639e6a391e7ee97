// The data source's texts as its windows show them: a text of the string table or the
// companion library (ANSI code page) as UTF-16.
#pragma once

#include <string>

#include "platform/base/types.h"

constexpr int kUiTextBytes = 256;

std::u16string LoadUiText(UINT id);
// An ANSI text of the data source as UTF-16.
std::u16string WidenUiText(LPCSTR text);
inline LPCWSTR W(const std::u16string& s) { return reinterpret_cast<LPCWSTR>(s.c_str()); }
