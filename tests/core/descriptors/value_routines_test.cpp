#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/descriptors/value_routines.h"
#include "core/pictures/dib_colors.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class ValueRoutines : public SandboxTest {};
class DibColors : public SandboxTest {};

std::u16string Text(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(u"(null)"); }

TEST_F(ValueRoutines, FormatTypedValueBySignedness) {
  WCHAR out[kValueBufferChars];
  WORD word = 0xFFFF;
  EXPECT_EQ(Text(FormatTypedValue(kTypeUInt16, &word, out)), u"65535");
  EXPECT_EQ(Text(FormatTypedValue(kTypeInt16, &word, out)), u"-1");
  BYTE byte = 0xFF;
  EXPECT_EQ(Text(FormatTypedValue(kTypeUInt8, &byte, out)), u"255");
  LONG number = -70000;
  EXPECT_EQ(Text(FormatTypedValue(kTypeInt32, &number, out)), u"-70000");
  LPCWSTR text = u"A4";
  EXPECT_EQ(Text(FormatTypedValue(kTypeString, &text, out)), u"A4");
  EXPECT_EQ(FormatTypedValue(kTypeFont, &number, out), nullptr);
  EXPECT_EQ(FormatTypedValue(7, &number, out), nullptr);
  // A string longer than the buffer is cut, never overrun.
  std::u16string longText(1000, u'x');
  LPCWSTR longPointer = longText.c_str();
  LPWSTR buffer = AllocValueBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(lstrlenW(FormatTypedValue(kTypeString, &longPointer, buffer)), kValueBufferChars - 1);
  GlobalFree(buffer);
}

TEST_F(ValueRoutines, SizesAndSlots) {
  EXPECT_EQ(ValueSizeOfType(kTypeFlag, nullptr, 0), 4u);
  EXPECT_EQ(ValueSizeOfType(kTypeUInt16, nullptr, 0), 2u);
  EXPECT_EQ(ValueSizeOfType(kTypeUInt8, nullptr, 0), 1u);
  EXPECT_EQ(ValueSizeOfType(kTypeFont, nullptr, 0), 92u);
  EXPECT_EQ(ValueSizeOfType(kTypeString, u"abc", -1), 8u);
  EXPECT_EQ(ValueSizeOfType(kTypeString, nullptr, -1), 0u);
  EXPECT_EQ(ValueSizeOfType(kTypeString, u"abc", 64), 64u);
  EXPECT_EQ(ValueSizeOfType(7, nullptr, 12), 12u);
  DWORD slot = 0x1234FFFF;
  EXPECT_EQ(ReadTypedValue(kTypeInt16, &slot), -1);
  EXPECT_EQ(TypedValueToInt(kTypeUInt16, &slot), 0xFFFF);
  EXPECT_EQ(ReadTypedValue(kTypeUInt8, &slot), 0xFF);
  EXPECT_EQ(ReadTypedValue(kTypeString, &slot), 0);
  EXPECT_EQ(ReadTypedValue16(kTypeUInt32, &slot), 0xFFFF);
  EXPECT_EQ(ReadTypedValue16(kTypeUInt8, &slot), 0xFF);
  EXPECT_EQ(ReadTypedValue16(kTypeFont, &slot), 0);
  EXPECT_EQ(ReadTypedValue16(kTypeInt16, nullptr), 0);
}

TEST_F(ValueRoutines, AnswersReportThroughTheirOutputs) {
  LPCWSTR name = u"stale";
  ItemValueCell value{};
  DWORD size = 0;
  ValueAnswer answer{nullptr, &name, &value, 0, 0, 1, &size};
  WORD word = 7;
  ASSERT_EQ(SetAnswerText(u"Seven", &answer, 0, &word, kTypeUInt16), 1);
  EXPECT_EQ(Text(name), u"Seven");
  EXPECT_EQ(value.word, 7);
  // A string id that the module does not have: no name, answer 0.
  EXPECT_EQ(SetAnswerText(nullptr, &answer, 5, &word, kTypeUInt16), 0);
  EXPECT_EQ(name, nullptr);
  ItemValueCell a{}, b{}, c{};
  a.number = 1, b.number = 2, c.number = 3;
  SelectAnswerValue(&answer, a, b, c, kTypeInt32);
  EXPECT_EQ(value.number, 2u);
  SetValueAnswer(kTypeInt16, &answer, c, -1);
  EXPECT_EQ(value.number, 3u);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(answer.type, kTypeInt16);
}

TEST_F(DibColors, CountsAndHighlightColours) {
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biBitCount = 24;
  EXPECT_EQ(DibColorCount(&header), 0u);
  header.biBitCount = 4;
  EXPECT_EQ(DibColorCount(&header), 16u);
  header.biClrUsed = 5;
  EXPECT_EQ(DibColorCount(&header), 5u);
  BYTE core[40] = {12, 0, 0, 0, 16, 0, 16, 0, 1, 0, 8, 0};
  core[32] = 9;  // a used-colour count where a full header would have one: not read
  EXPECT_EQ(DibColorCount(reinterpret_cast<BITMAPINFOHEADER*>(core)), 256u);
  EXPECT_EQ(DibColorCount(nullptr), 0u);

  COLORREF colour = 0;
  EXPECT_EQ(LookUpColorValue(3, &colour, -1), 1);
  EXPECT_EQ(colour, 0x0000CCFFu);
  EXPECT_EQ(LookUpColorValue(8, &colour, -1), 0);
  EXPECT_EQ(LookUpColorValue(9, &colour, -1), 0);
  EXPECT_EQ(LookUpColorValue(0, &colour, 6), 1);
  EXPECT_EQ(colour, 0u);
  EXPECT_EQ(LookUpColorValue(0, &colour, 7), 0);
}

}  // namespace
