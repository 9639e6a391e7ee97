// The colour converter's life: made from the settings, its objects built for the flag word,
// the warning when an ICC profile cannot be used, and freed at the end of the job.
#include "graphics/imaging/color_converter.h"

#include <cstring>

#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"

namespace {
constexpr int kAnsiPathBytes = 258;

// The wide path in the ANSI code page and loaded into the object; 0 or the loader's answer.
int LoadProfileFromPath(ProfileLut& lut, const WCHAR* path) {
  char ansi[kAnsiPathBytes + 1] = {};
  if (WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, kAnsiPathBytes, nullptr, nullptr) == 0) ansi[0] = 0;
  ansi[kAnsiPathBytes] = 0;
  return LoadIccProfile(&lut, ansi);
}

void BuildAdjustments(WORD flags, ColorConverter& c, const ColorSettingsRecord& r) {
  auto matrix = [](ColorAdjustMatrix& data, const SHORT (&t)[3]) -> const ColorAdjustMatrix* {
    return BuildColorAdjustMatrix(&data, t[0], t[1], t[2]) == 0 ? &data : nullptr;
  };
  auto grey = [](GreyAdjustment& data, const SHORT (&t)[3]) -> const GreyAdjustment* {
    data = BuildGreyAdjustment(t[0], t[2]);
    return &data;
  };
  if (flags & kConvertTextMatrix) c.TextMatrix = matrix(c.CommonOrTextMatrixData, r.Text);
  if (flags & kConvertTextGrey) c.TextGrey = grey(c.CommonOrTextGreyData, r.Text);
  if (flags & kConvertGraphicsMatrix) c.GraphicsMatrix = matrix(c.GraphicsMatrixData, r.Graphics);
  if (flags & kConvertGraphicsGrey) c.GraphicsGrey = grey(c.GraphicsGreyData, r.Graphics);
  if (flags & kConvertImageMatrix) c.ImageMatrix = matrix(c.ImageMatrixData, r.Image);
  if (flags & kConvertCommonMatrix) c.TextMatrix = c.GraphicsMatrix = c.ImageMatrix = matrix(c.CommonOrTextMatrixData, r.Common);
  if (flags & kConvertCommonGrey) c.TextGrey = c.GraphicsGrey = grey(c.CommonOrTextGreyData, r.Common);
}
}  // namespace

int BindColorLibrary(WORD flags, ColorConverter* converter, const ColorSettingsRecord* record, HANDLE printer) {
  if (converter == nullptr || record == nullptr) return kConverterMissingArgument;
  ColorConverter& c = *converter;
  BuildAdjustments(flags, c, *record);
  if ((flags & kConvertBuiltInProfile) && BuildBuiltInProfile(c.FirstLut, record->WhitePoint, record->Tone) == kIccOk)
    c.BuiltIn = &c.FirstLut;
  if (flags & kConvertFirstProfile) {
    // A first profile that fails ends the binding: neither the second profile nor the colour
    // library is bound for this document.
    if (LoadProfileFromPath(c.FirstLut, record->FirstPath) != kIccOk) return kConverterFirstProfileFailed;
    c.FirstProfile = &c.FirstLut;
  }
  if (flags & kConvertSecondProfile) {
    if (record->SecondFromFirst == 1) {
      c.SecondProfile = c.FirstProfile;
    } else {
      if (LoadProfileFromPath(c.SecondLut, record->SecondPath) != kIccOk) return kConverterSecondProfileFailed;
      c.SecondProfile = &c.SecondLut;
    }
  }
  if ((flags & kConvertColorLibrary) && c.LibraryHandle == 0) BindOutsideColorLibrary(c, printer);
  return kConverterOk;
}

int CreateColorConverter(ColorConverter** out, SettingsRecord* settings, PrinterConfiguration* config,
                         HMODULE resourceInstance, HANDLE printer) {
  if (out == nullptr || settings == nullptr) return kConverterMissingArgument;
  *out = nullptr;
  auto* converter = static_cast<ColorConverter*>(GlobalAlloc(GPTR, sizeof(ColorConverter)));
  if (converter == nullptr) return kConverterNoMemory;
  converter->FirstLut.State = kLutUnusable;
  converter->SecondLut.State = kLutUnusable;
  ColorSettingsRecord record{};
  ReadColorAdjustSettings(converter, &record, settings, config);
  int rc = BindColorLibrary(converter->Flags, converter, &record, printer);
  if (rc == kConverterFirstProfileFailed || rc == kConverterSecondProfileFailed)
    rc = ShowIccProfileWarning(resourceInstance, printer, &record, rc);
  if (rc != kConverterOk) {
    FreeColorConverter(&converter);
    return rc;
  }
  *out = converter;
  return kConverterOk;
}

int FreeColorConverter(ColorConverter** converter) {
  if (converter == nullptr) return -1;
  ColorConverter* c = *converter;
  if (c == nullptr) return 0;
  // Each object is released once, whichever pointers share it.
  ReleaseProfileLut(c->FirstLut);
  ReleaseProfileLut(c->SecondLut);
  ReleaseOutsideColorLibrary(*c);
  std::memset(c, 0, sizeof *c);
  GlobalFree(c);
  *converter = nullptr;
  return 0;
}

int GetImageRoute(const ColorConverter* converter) {
  if (converter == nullptr) return -1;
  return (converter->ImageWord & kImageColorLibrary) ? 4 : 3;
}
