// Capability negotiation through DS_Entry: every capability's answers to get, get-current,
// get-default, query-support, set and reset, the negotiation cases with their side effects,
// and containers that are too short or of the wrong kind.
#include <cmath>

#include "tests/support/scanner_fixture.h"

namespace {

class TwainCapabilityTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
  }
  void TearDown() override {
    app_.Close();
    TwainTest::TearDown();
  }
  // The layout frame in 1/1200 inch (read in inches).
  std::vector<double> Frame() {
    EXPECT_EQ(app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {TWUN_INCHES}, 0), TWRC_SUCCESS);
    TW_IMAGELAYOUT layout{};
    EXPECT_EQ(app_.Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    return {std::round(FromFix32(layout.Frame.Left) * 1200), std::round(FromFix32(layout.Frame.Top) * 1200),
            std::round(FromFix32(layout.Frame.Right) * 1200), std::round(FromFix32(layout.Frame.Bottom) * 1200)};
  }
};

TEST_F(TwainCapabilityTest, EveryCapabilityAnswersAsDescribed) {
  struct Row {
    TW_UINT16 cap;
    TW_UINT16 getKind;  // container of MSG_GET
    TW_UINT16 ops;      // query-support answer
    double current;     // right after MSG_OPENDS
    double byDefault;
    TW_UINT32 items;    // of an array or enumeration
  } rows[] = {
      {CAP_SUPPORTEDCAPS, TWON_ARRAY, 13, -1, -1, 25},
      {ICAP_XFERMECH, TWON_ENUMERATION, 31, TWSX_NATIVE, TWSX_NATIVE, 3},
      {ICAP_PIXELFLAVOR, TWON_ENUMERATION, 31, 0, 0, 1},
      {ICAP_PLANARCHUNKY, TWON_ENUMERATION, 13, 0, 0, 1},
      {ICAP_COMPRESSION, TWON_ENUMERATION, 31, 0, 0, 1},
      {ICAP_PHYSICALWIDTH, TWON_ONEVALUE, 13, 2338, 2338, 0},  // pixels at 200 dpi
      {ICAP_PHYSICALHEIGHT, TWON_ONEVALUE, 13, 3400, 3400, 0},
      {ICAP_UNITS, TWON_ENUMERATION, 31, TWUN_PIXELS, TWUN_INCHES, 3},
      {CAP_DEVICEONLINE, TWON_ONEVALUE, 13, 1, 1, 0},
      {ICAP_PIXELTYPE, TWON_ENUMERATION, 31, TWPT_BW, TWPT_BW, 1},
      {ICAP_BITDEPTH, TWON_ENUMERATION, 31, 1, 1, 1},
      {ICAP_BITORDER, TWON_ENUMERATION, 13, TWBO_MSBFIRST, TWBO_MSBFIRST, 2},
      {ICAP_SUPPORTEDSIZES, TWON_ENUMERATION, 31, TWSS_NONE, TWSS_NONE, 11},
      {ICAP_XNATIVERESOLUTION, TWON_ONEVALUE, 13, 600, 600, 0},
      {ICAP_YNATIVERESOLUTION, TWON_ONEVALUE, 13, 600, 600, 0},
      {ICAP_XRESOLUTION, TWON_RANGE, 31, 200, 200, 0},
      {ICAP_YRESOLUTION, TWON_RANGE, 31, 200, 200, 0},
      {CAP_XFERCOUNT, TWON_ONEVALUE, 31, -1, -1, 0},
      {ICAP_IMAGEFILEFORMAT, TWON_ENUMERATION, 31, TWFF_BMP, TWFF_BMP, 1},
      {CAP_INDICATORS, TWON_ONEVALUE, 31, 1, 1, 0},
      {CAP_UICONTROLLABLE, TWON_ONEVALUE, 13, 1, 1, 0},
      {CAP_FEEDERENABLED, TWON_ONEVALUE, 15, 0, 1, 0},
      {CAP_FEEDERLOADED, TWON_ONEVALUE, 13, 0, 1, 0},
      {ICAP_BITDEPTHREDUCTION, TWON_ENUMERATION, 31, TWBR_THRESHOLD, TWBR_THRESHOLD, 3},
      {CAP_PAPERDETECTABLE, TWON_ONEVALUE, 13, 1, 1, 0},
  };
  const CapabilityAnswer supported = app_.Query(CAP_SUPPORTEDCAPS, MSG_GET);
  ASSERT_EQ(supported.Count(), 25u);
  for (TW_UINT32 i = 0; i < 25; ++i) EXPECT_EQ(supported.Item(i), rows[i].cap) << i;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << row.cap);
    const CapabilityAnswer get = app_.Query(row.cap, MSG_GET);
    ASSERT_EQ(get.Result, TWRC_SUCCESS);
    EXPECT_EQ(get.ConType, row.getKind);
    if (row.items != 0) {
      EXPECT_EQ(get.Count(), row.items);
    }
    const CapabilityAnswer current = app_.Query(row.cap, MSG_GETCURRENT);
    const CapabilityAnswer byDefault = app_.Query(row.cap, MSG_GETDEFAULT);
    ASSERT_EQ(current.Result, TWRC_SUCCESS);
    ASSERT_EQ(byDefault.Result, TWRC_SUCCESS);
    if (row.cap != CAP_SUPPORTEDCAPS) {
      EXPECT_EQ(current.ConType, TWON_ONEVALUE);
      // Physical sizes are single-precision inches times the resolution.
      const double tolerance = row.cap == ICAP_PHYSICALWIDTH || row.cap == ICAP_PHYSICALHEIGHT ? 0.001 : 0;
      EXPECT_NEAR(current.Current(), row.current, tolerance);
      EXPECT_NEAR(byDefault.Current(), row.byDefault, tolerance);
      EXPECT_NEAR(get.Current(), row.current, tolerance);
    } else {
      EXPECT_EQ(current.ConType, TWON_ARRAY);  // the list answers every query
      EXPECT_EQ(byDefault.ConType, TWON_ARRAY);
    }
    EXPECT_EQ(app_.Query(row.cap, MSG_QUERYSUPPORT).Current(), row.ops);
    // Reset where the operations allow it; elsewhere the operation is refused.
    const TW_UINT16 reset = app_.Reset(row.cap);
    if (row.ops & TWQC_RESET) {
      EXPECT_EQ(reset, TWRC_SUCCESS);
      EXPECT_EQ(app_.Query(row.cap, MSG_GETCURRENT).Current(), app_.Query(row.cap, MSG_GETDEFAULT).Current());
    } else {
      EXPECT_EQ(reset, TWRC_FAILURE);
      EXPECT_EQ(app_.Condition(), TWCC_CAPBADOPERATION);
    }
    if (!(row.ops & TWQC_SET)) {
      EXPECT_EQ(app_.SetOneValue(row.cap, TWTY_UINT16, 0), TWRC_FAILURE);
      EXPECT_EQ(app_.Condition(), TWCC_CAPBADOPERATION);
    }
    ASSERT_EQ(app_.Reset(ICAP_UNITS), TWRC_SUCCESS);
    app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {TWUN_PIXELS}, 0);
  }
}

TEST_F(TwainCapabilityTest, NegotiationAndItsSideEffects) {
  // Resolution: both directions at once; only whole numbers in the range of the pixel type.
  EXPECT_EQ(app_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 300), TWRC_SUCCESS);
  EXPECT_EQ(app_.Query(ICAP_YRESOLUTION, MSG_GETCURRENT).Current(), 300);
  EXPECT_NEAR(app_.Query(ICAP_PHYSICALWIDTH, MSG_GETCURRENT).Current(), 11.69 * 300, 0.001);
  EXPECT_EQ(app_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 300.5), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_BADVALUE);
  EXPECT_EQ(app_.SetRange(ICAP_XRESOLUTION, 50, 9600, 1, 50), TWRC_FAILURE);  // 50 dpi is below one-bit's range
  EXPECT_EQ(app_.Condition(), TWCC_BADVALUE);
  EXPECT_EQ(app_.SetRange(ICAP_YRESOLUTION, 100, 600, 1, 150), TWRC_SUCCESS);
  EXPECT_EQ(app_.Query(ICAP_XRESOLUTION, MSG_GETCURRENT).Current(), 150);
  // An enumeration sets the application's own item at its index.
  EXPECT_EQ(app_.SetEnumeration(ICAP_XRESOLUTION, TWTY_FIX32, {100, 400}, 1), TWRC_SUCCESS);
  EXPECT_EQ(app_.Query(ICAP_XRESOLUTION, MSG_GETCURRENT).Current(), 400);
  // In centimetres a resolution is per centimetre, and must still fit the range converted.
  EXPECT_EQ(app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {0, 1, 5}, 1), TWRC_SUCCESS);
  EXPECT_EQ(app_.Query(ICAP_UNITS, MSG_GETCURRENT).Current(), TWUN_CENTIMETERS);
  EXPECT_EQ(app_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 118), TWRC_SUCCESS);
  EXPECT_EQ(app_.Query(ICAP_XRESOLUTION, MSG_GETCURRENT).Current(), 299);
  EXPECT_EQ(app_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 590), TWRC_FAILURE);  // 1498 dpi: beyond 600
  EXPECT_EQ(app_.Condition(), TWCC_BADVALUE);
  EXPECT_EQ(app_.Query(ICAP_XRESOLUTION, MSG_GETCURRENT).Current(), 299);
  EXPECT_EQ(app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {0, 1, 5}, 3), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_BADVALUE);
  EXPECT_EQ(app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {TWUN_PIXELS}, 0), TWRC_SUCCESS);
  EXPECT_EQ(app_.Query(ICAP_UNITS, MSG_GETCURRENT).Current(), TWUN_PIXELS);
  // Transfer counts: -1 and 1 to 25.
  EXPECT_EQ(app_.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 25), TWRC_SUCCESS);
  EXPECT_EQ(app_.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 26), TWRC_FAILURE);
  EXPECT_EQ(app_.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 0), TWRC_FAILURE);
  EXPECT_EQ(app_.Query(CAP_XFERCOUNT, MSG_GETCURRENT).Current(), 25);
  // Bit depth follows the pixel type; a reset answers no container.
  EXPECT_EQ(app_.SetEnumeration(ICAP_BITDEPTH, TWTY_UINT16, {8}, 0), TWRC_FAILURE);
  EXPECT_EQ(app_.Reset(ICAP_BITDEPTH), TWRC_SUCCESS);
  // Sizes: A4 on the feeder is centred on the bed; A3 stays on the bed.
  SetupScanner(TRUE, 1, 0);
  EXPECT_EQ(app_.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
  EXPECT_EQ(app_.SetEnumeration(ICAP_SUPPORTEDSIZES, TWTY_UINT16, {TWSS_A4LETTER}, 0), TWRC_SUCCESS);
  EXPECT_EQ(Frame(), (std::vector<double>{2052, 0, 11976, 14030}));
  EXPECT_EQ(app_.Query(CAP_FEEDERLOADED, MSG_GETCURRENT).Current(), 1);
  EXPECT_EQ(app_.SetEnumeration(ICAP_SUPPORTEDSIZES, TWTY_UINT16, {TWSS_A3}, 0), TWRC_SUCCESS);
  EXPECT_EQ(Frame(), (std::vector<double>{0, 0, 14028, 19850}));
  EXPECT_EQ(app_.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 0), TWRC_SUCCESS);
  EXPECT_EQ(app_.SetEnumeration(ICAP_SUPPORTEDSIZES, TWTY_UINT16, {TWSS_USLETTER}, 0), TWRC_SUCCESS);
  EXPECT_EQ(Frame(), (std::vector<double>{0, 0, 10200, 13200}));
  // Without a feeder the feeder cannot be chosen.
  SetupScanner(FALSE, 0, 0);
  EXPECT_EQ(app_.Query(CAP_FEEDERENABLED, MSG_GETDEFAULT).Current(), 0);
  EXPECT_EQ(app_.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_BADVALUE);
  // The supported list can be neither set nor reset.
  EXPECT_EQ(app_.Reset(CAP_SUPPORTEDCAPS), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_CAPBADOPERATION);
  // Layout: a frame of no width is refused and leaves the whole bed.
  TW_IMAGELAYOUT layout{};
  layout.Frame = {ToFix32(100), ToFix32(0), ToFix32(100), ToFix32(50)};
  EXPECT_EQ(app_.Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_OPERATIONERROR);
  EXPECT_EQ(Frame(), (std::vector<double>{0, 0, 14028, 20400}));
}

TEST_F(TwainCapabilityTest, ShortOrWrongContainersAreRefused) {
  auto bytes = [](std::initializer_list<int> b) {
    std::vector<BYTE> v;
    for (int x : b) v.push_back(static_cast<BYTE>(x));
    return v;
  };
  struct Case {
    TW_UINT16 cap, conType;
    std::vector<BYTE> container;
    TW_UINT16 condition;
  } cases[] = {
      {CAP_XFERCOUNT, TWON_ONEVALUE, bytes({1, 0, 5}), TWCC_BADVALUE},                // cut inside the value
      {CAP_XFERCOUNT, TWON_ONEVALUE, bytes({4, 0, 5, 0, 0, 0}), TWCC_BADVALUE},       // another item type
      {ICAP_UNITS, TWON_ENUMERATION, bytes({4, 0, 0xE8, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}), TWCC_BADVALUE},
      {ICAP_UNITS, TWON_ENUMERATION, bytes({4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), TWCC_BADVALUE},  // empty
      {ICAP_UNITS, TWON_ENUMERATION, bytes({4, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0}), TWCC_BADVALUE},
      {ICAP_UNITS, TWON_RANGE, std::vector<BYTE>(22, 0), TWCC_BADCAP},  // a container the unit does not take
      {ICAP_PIXELFLAVOR, TWON_ENUMERATION, bytes({4, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), TWCC_BADCAP},
      {ICAP_XRESOLUTION, TWON_RANGE, bytes({7, 0, 0, 0}), TWCC_BADVALUE},
      {ICAP_UNITS, 0x77, bytes({4, 0, 1, 0, 0, 0}), TWCC_BADCAP},
      {ICAP_UNITS, TWON_ONEVALUE, {}, TWCC_BADVALUE},  // no bytes at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << c.cap << " container " << c.conType);
    EXPECT_EQ(app_.SetRaw(c.cap, c.conType, c.container), TWRC_FAILURE);
    EXPECT_EQ(app_.Condition(), c.condition);
  }
  EXPECT_EQ(app_.Query(ICAP_UNITS, MSG_GETCURRENT).Current(), TWUN_PIXELS);
  EXPECT_EQ(app_.Query(CAP_XFERCOUNT, MSG_GETCURRENT).Current(), -1);
  TW_CAPABILITY none{ICAP_UNITS, TWON_ONEVALUE, nullptr};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &none), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_LOWMEMORY);
}

}  // namespace
