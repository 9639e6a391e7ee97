// One handler per capability: its descriptor from the ImageRecord, and what a set or reset
// changes in the record.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/capabilities.h"
#include "scanner/connection.h"
#include "scanner/device.h"
#include "scanner/scan_run.h"

namespace {

constexpr float kNativeResolution = 600;
constexpr float kDefaultResolution = 200;
constexpr float kCentimetresPerInch = 2.54f;
constexpr float kMaxTransferCount = 25;

// The size codes of ICAP_SUPPORTEDSIZES in list order, and their frames.
constexpr WORD kSizeCodes[] = {TWSS_NONE, TWSS_A3, TWSS_A4LETTER, TWSS_A5, TWSS_B4, TWSS_B5LETTER,
                               TWSS_B6, TWSS_USLETTER, TWSS_USEXECUTIVE, TWSS_USLEGAL, TWSS_USLEDGER};
struct SizeRow {
  WORD Code;
  LONG Right;
  LONG Bottom;
};
constexpr SizeRow kSizeFrames[] = {
    {TWSS_NONE, kBedWidth, kBedHeight}, {TWSS_A4LETTER, 9924, 14030}, {TWSS_B5LETTER, 8592, 12132},
    {TWSS_USLETTER, 10200, 13200},      {TWSS_USLEGAL, 10200, 16800}, {TWSS_A5, 6996, 9924},
    {TWSS_B4, 12141, 17197},            {TWSS_B6, 5916, 8316},        {TWSS_USLEDGER, 13200, 20400},
    {TWSS_USEXECUTIVE, 8700, 12600},    {TWSS_A3, 14030, 19850},
};

constexpr WORD kSupportedCaps[] = {
    CAP_SUPPORTEDCAPS,     ICAP_XFERMECH,        ICAP_PIXELFLAVOR,       ICAP_PLANARCHUNKY,     ICAP_COMPRESSION,
    ICAP_PHYSICALWIDTH,    ICAP_PHYSICALHEIGHT,  ICAP_UNITS,             CAP_DEVICEONLINE,      ICAP_PIXELTYPE,
    ICAP_BITDEPTH,         ICAP_BITORDER,        ICAP_SUPPORTEDSIZES,    ICAP_XNATIVERESOLUTION, ICAP_YNATIVERESOLUTION,
    ICAP_XRESOLUTION,      ICAP_YRESOLUTION,     CAP_XFERCOUNT,          ICAP_IMAGEFILEFORMAT,  CAP_INDICATORS,
    CAP_UICONTROLLABLE,    CAP_FEEDERENABLED,    CAP_FEEDERLOADED,       ICAP_BITDEPTHREDUCTION, CAP_PAPERDETECTABLE,
};
static_assert(sizeof kSupportedCaps / sizeof kSupportedCaps[0] == 25);

CapabilityDescriptor Describe(TW_CAPABILITY& request, TW_UINT16 message, TW_UINT16 type, TW_UINT16 getKind,
                              WORD setKinds, WORD operations, std::initializer_list<float> items, float byDefault,
                              float current) {
  CapabilityDescriptor d{};
  d.Message = message;
  d.Container = &request;
  d.ItemType = type;
  d.GetKind = getKind;
  d.SetKinds = setKinds;
  d.Operations = operations;
  for (float item : items) d.Items[d.ItemCount++] = item;
  d.Default = byDefault;
  d.Current = current;
  return d;
}

// A physical length in inches in the record's unit (pixels at a resolution).
float InUnit(const ImageRecord& r, float inches, WORD resolution) {
  switch (r.Unit) {
    case TWUN_CENTIMETERS:
      return inches * kCentimetresPerInch;
    case TWUN_PIXELS:
      return inches * resolution;
    default:
      return inches;
  }
}

// Answers a request, and on a successful set or reset hands the new value to apply.
template <typename Apply>
TW_UINT16 Answer(CapabilityDescriptor d, Apply apply) {
  const TW_UINT16 result = HandleCapabilityMessage(d);
  if (result == TWRC_SUCCESS && (d.Message == MSG_SET || d.Message == MSG_RESET)) return apply(d.Current);
  return result;
}

TW_UINT16 ReadOnly(const CapabilityDescriptor& d) {
  CapabilityDescriptor copy = d;
  return HandleCapabilityMessage(copy);
}

void ApplySizeCode(ImageRecord& r, WORD code) {
  r.SizeCode = code;
  for (const SizeRow& row : kSizeFrames)
    if (row.Code == code) {
      LONG left = 0, right = row.Right;
      if (r.ScanFrom != 0 && code != TWSS_NONE) {
        left = (kBedWidth - row.Right) / 2;
        right = left + row.Right;
      }
      // Frames wider than the bed (A3) stay on it.
      if (left < 0) left = 0;
      if (right > kBedWidth) right = kBedWidth;
      r.LayoutFrame = {left, 0, right, row.Bottom > kBedHeight ? kBedHeight : row.Bottom};
      r.FrameNegotiated = 1;
    }
  RecomputePixelSizes(r);
}

TW_UINT16 Capability(TW_CAPABILITY& q, TW_UINT16 m, ImageRecord& r) {
  switch (q.Cap) {
    case CAP_SUPPORTEDCAPS: {
      CapabilityDescriptor d = Describe(q, m, TWTY_UINT16, TWON_ARRAY, 0, kOpsReadOnly, {}, 0, 0);
      for (WORD cap : kSupportedCaps) d.Items[d.ItemCount++] = cap;
      // The list answers MSG_GET, MSG_GETCURRENT and MSG_GETDEFAULT alike.
      if (m == MSG_GETCURRENT || m == MSG_GETDEFAULT) d.Message = MSG_GET;
      return ReadOnly(d);
    }
    case ICAP_XFERMECH: {
      const bool memoryOnly = r.ScanKind == kScanKindGray16 || r.ScanKind == kScanKindColor48;
      if (memoryOnly) r.TransferMechanism = TWSX_MEMORY;
      CapabilityDescriptor d =
          memoryOnly ? Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {TWSX_MEMORY}, TWSX_MEMORY,
                                r.TransferMechanism)
                     : Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY},
                                TWSX_NATIVE, r.TransferMechanism);
      return Answer(d, [&](float v) {
        r.TransferMechanism = static_cast<WORD>(v);
        return TW_UINT16{TWRC_SUCCESS};
      });
    }
    case ICAP_PIXELFLAVOR:
      return Answer(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, kSetOneValue, kOpsAll, {TWPF_CHOCOLATE},
                             TWPF_CHOCOLATE, r.PixelFlavor),
                    [&](float v) {
                      r.PixelFlavor = static_cast<WORD>(v);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case ICAP_PLANARCHUNKY:
      return ReadOnly(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsReadOnly, {TWPC_CHUNKY}, TWPC_CHUNKY,
                               r.PlanarChunky));
    case ICAP_COMPRESSION:
      return Answer(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {TWCP_NONE}, TWCP_NONE, r.Compression),
                    [&](float v) {
                      r.Compression = static_cast<WORD>(v);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case ICAP_PHYSICALWIDTH:
    case ICAP_PHYSICALHEIGHT: {
      const bool width = q.Cap == ICAP_PHYSICALWIDTH;
      const float value = InUnit(r, width ? r.PhysicalWidth : r.PhysicalHeight, width ? r.XResolution : r.YResolution);
      return ReadOnly(Describe(q, m, TWTY_FIX32, TWON_ONEVALUE, 0, kOpsReadOnly, {value}, value, value));
    }
    case ICAP_UNITS:
      return Answer(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll,
                             {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS}, TWUN_INCHES, r.Unit),
                    [&](float v) {
                      r.Unit = static_cast<WORD>(v);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case CAP_DEVICEONLINE:
      return ReadOnly(Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, 0, kOpsReadOnly, {1, 0}, 1, r.DeviceOnline));
    case ICAP_PIXELTYPE:
      return Answer(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {TWPT_BW}, TWPT_BW, r.PixelType),
                    [&](float v) {
                      r.PixelType = static_cast<WORD>(v);
                      r.PixelTypeNegotiated = 1;
                      RecomputeLineSizes(r);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case ICAP_BITDEPTH: {
      CapabilityDescriptor d;
      switch (r.PixelType) {
        case TWPT_BW:
          d = Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {1}, 1, r.BitDepth[0]);
          break;
        case TWPT_GRAY:
          d = Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {8}, 8, r.BitDepth[1]);
          break;
        case TWPT_RGB:
          d = Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {24, 48}, 24, r.BitDepth[2]);
          break;
        case TWPT_PALETTE:
          d = Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {8}, 8, r.BitDepth[3]);
          break;
        default:
          return RefuseRequest(TWCC_BUMMER);
      }
      TW_UINT16 result = HandleCapabilityMessage(d);
      if (result == TWRC_SUCCESS && (m == MSG_SET || m == MSG_RESET)) r.BitDepth[r.PixelType] = static_cast<WORD>(d.Current);
      if (result == TWRC_SUCCESS && r.PixelType == TWPT_RGB) {
        r.ScanKind = r.BitDepth[2] == 24 ? kScanKindColor : kScanKindColor48;
        RecomputeLineSizes(r);
      }
      return result;
    }
    case ICAP_BITORDER:
      return ReadOnly(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 0, kOpsReadOnly, {TWBO_MSBFIRST, TWBO_LSBFIRST},
                               TWBO_MSBFIRST, TWBO_MSBFIRST));
    case ICAP_SUPPORTEDSIZES: {
      CapabilityDescriptor d = Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {}, TWSS_NONE, r.SizeCode);
      for (WORD code : kSizeCodes) d.Items[d.ItemCount++] = code;
      return Answer(d, [&](float v) {
        ApplySizeCode(r, static_cast<WORD>(v));
        return TW_UINT16{TWRC_SUCCESS};
      });
    }
    case ICAP_XNATIVERESOLUTION:
    case ICAP_YNATIVERESOLUTION:
      return ReadOnly(Describe(q, m, TWTY_FIX32, TWON_ONEVALUE, 0, kOpsReadOnly, {kNativeResolution},
                               kNativeResolution, kNativeResolution));
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: {
      const bool bw = r.PixelType == TWPT_BW;
      const float low = bw ? 100.0f : 50.0f, high = bw ? 600.0f : 9600.0f;
      const float current = q.Cap == ICAP_XRESOLUTION ? r.XResolution : r.YResolution;
      return Answer(Describe(q, m, TWTY_FIX32, TWON_RANGE, 14, kOpsAll, {low, high, 1}, kDefaultResolution, current),
                    [&](float v) {
                      // Set in centimetres: dots per centimetre. The converted value must
                      // still lie in the range.
                      float dpi = r.Unit == TWUN_CENTIMETERS ? std::trunc(v * kCentimetresPerInch) : v;
                      if (m == MSG_RESET) dpi = kDefaultResolution;
                      if (dpi < low || dpi > high) return RefuseRequest(TWCC_BADVALUE);
                      r.XResolution = r.YResolution = static_cast<WORD>(dpi);
                      r.ResolutionNegotiated = 1;
                      RecomputePixelSizes(r);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    }
    case CAP_XFERCOUNT: {
      CapabilityDescriptor d = Describe(q, m, TWTY_INT16, TWON_ONEVALUE, kSetOneValue, kOpsAll, {-1}, -1,
                                        r.PendingTransferCount);
      for (float n = 1; n <= kMaxTransferCount; ++n) d.Items[d.ItemCount++] = n;
      return Answer(d, [&](float v) {
        r.PendingTransferCount = static_cast<SHORT>(v);
        return TW_UINT16{TWRC_SUCCESS};
      });
    }
    case ICAP_IMAGEFILEFORMAT:
      return Answer(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll, {TWFF_BMP}, TWFF_BMP, r.ImageFileFormat),
                    [&](float v) {
                      r.ImageFileFormat = static_cast<WORD>(v);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case CAP_INDICATORS:
      return Answer(Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, kSetOneValue, kOpsAll, {1, 0}, 1, r.Indicators),
                    [&](float v) {
                      r.Indicators = static_cast<WORD>(v);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case CAP_UICONTROLLABLE:
      return ReadOnly(Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, 0, kOpsReadOnly, {1, 0}, 1, 1));
    case CAP_FEEDERENABLED: {
      const bool feeder = FeederPresent();
      const float current = r.ScanFrom != 0 ? 1.0f : 0.0f;
      CapabilityDescriptor d = feeder ? Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, 5, kOpsAllButReset, {1, 0}, 1, current)
                                      : Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, 5, kOpsAllButReset, {0, 0}, 0, current);
      return Answer(d, [&](float v) {
        r.ScanFrom = v != 0 ? 1 : 0;
        return TW_UINT16{TWRC_SUCCESS};
      });
    }
    case CAP_FEEDERLOADED: {
      r.FeederLoaded = FeederHasPaper() ? 1 : 0;
      const float first = (m == MSG_GET || m == MSG_GETCURRENT) ? static_cast<float>(r.FeederLoaded) : 1.0f;
      return ReadOnly(Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, 0, kOpsReadOnly, {first, 0}, 1,
                               static_cast<float>(r.FeederLoaded)));
    }
    case ICAP_BITDEPTHREDUCTION:
      return Answer(Describe(q, m, TWTY_UINT16, TWON_ENUMERATION, 6, kOpsAll,
                             {TWBR_THRESHOLD, TWBR_DIFFUSION, TWBR_HALFTONE}, TWBR_THRESHOLD, r.OneBitMethod),
                    [&](float v) {
                      r.OneBitMethod = static_cast<WORD>(v);
                      return TW_UINT16{TWRC_SUCCESS};
                    });
    case CAP_PAPERDETECTABLE:
      return ReadOnly(Describe(q, m, TWTY_BOOL, TWON_ONEVALUE, 5, kOpsReadOnly, {1}, 1, 1));
    default:
      return RefuseRequest(TWCC_BADCAP);
  }
}

}  // namespace

TW_UINT16 DispatchCapability(TW_CAPABILITY& request, TW_UINT16 message, ImageRecord& record) {
  return Capability(request, message, record);
}
