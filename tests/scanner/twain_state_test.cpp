// The data source's entry and state machine, driven by the test application: the way through
// the states, every request refused in the wrong state (and the state kept), the status, the
// notifications to the source manager and the refused opens.
#include <filesystem>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/scanner_fixture.h"

namespace {

class TwainStateTest : public TwainTest {
 protected:
  // Brings a fresh source to a state (3 to 7) by the application's ordinary requests.
  void GoTo(int state) {
    if (state == 3) return;
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
    if (state == 4) return;
    ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
    if (state == 5) {
      TW_PENDINGXFERS pending{};
      ASSERT_EQ(app_.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    }
    if (state == 7) {
      // One strip of a memory transfer.
      buffer_.assign(4096, 0);
      TW_IMAGEMEMXFER x{};
      x.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer_.size()), buffer_.data()};
      ASSERT_EQ(app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x), TWRC_SUCCESS);
    }
    ASSERT_EQ(State(), state);
  }
  std::vector<BYTE> buffer_;
};

TEST_F(TwainStateTest, ThroughTheStatesWithoutTheInterface) {
  EXPECT_EQ(State(), 3);
  TW_IDENTITY identity{};
  ASSERT_EQ(app_.Call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
  EXPECT_STREQ(identity.Manufacturer, "VARNO QUELMAR");
  EXPECT_STREQ(identity.ProductName, "Scriptora Duo Local Scan");
  EXPECT_STREQ(identity.Version.Info, "1.00");
  EXPECT_EQ(identity.Version.Country, TWCY_JAPAN);
  EXPECT_EQ(identity.ProtocolMinor, 8);
  const TW_UINT32 groups = identity.SupportedGroups;
  EXPECT_EQ(groups, static_cast<TW_UINT32>(DG_CONTROL | DG_IMAGE));

  ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
  EXPECT_EQ(State(), 4);
  EXPECT_EQ(app_.Query(CAP_DEVICEONLINE, MSG_GETCURRENT).Current(), 1);
  EXPECT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  // MSG_XFERREADY went to the source manager before the request returned.
  const std::vector<SimDsmCall> calls = Notifications();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Message, MSG_XFERREADY);
  EXPECT_EQ(calls[0].Group, static_cast<TW_UINT32>(DG_CONTROL));
  EXPECT_EQ(calls[0].Type, DAT_NULL);
  EXPECT_EQ(calls[0].Origin.Id, 2u);  // the identity the manager gave at MSG_OPENDS
  EXPECT_EQ(calls[0].Destination.Id, 1u);
  EXPECT_STREQ(calls[0].Destination.ProductName, "Scan test");
  EXPECT_EQ(State(), 6);
  ReceivedImage image;
  EXPECT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
  EXPECT_EQ(State(), 7);
  TW_INT16 count = 99;
  EXPECT_EQ(app_.EndTransfer(&count), TWRC_SUCCESS);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(State(), 5);
  EXPECT_EQ(app_.Disable(), TWRC_SUCCESS);
  EXPECT_EQ(State(), 4);
  EXPECT_EQ(app_.Close(), TWRC_SUCCESS);
  EXPECT_EQ(State(), 3);
  EXPECT_EQ(app_.Query(CAP_DEVICEONLINE, MSG_GETCURRENT).Condition, TWCC_SEQERROR);
}

TEST_F(TwainStateTest, RequestsInAWrongStateAreRefusedAndChangeNothing) {
  struct Row {
    TW_UINT32 group;
    TW_UINT16 type, message;
    std::vector<int> states;  // where it is accepted
    TW_UINT16 condition;      // the refusal elsewhere
  };
  const std::vector<Row> rows = {
      {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, {3}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, {4, 5, 6, 7}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, {4}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, {5, 6, 7}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_CAPABILITY, MSG_GET, {4, 5, 6, 7}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_CAPABILITY, MSG_SET, {4}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, {4}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, {4, 5, 6, 7}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, {6}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, {6, 7}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_XFERGROUP, MSG_GET, {4, 5, 6}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, {4, 5, 6}, TWCC_SEQERROR},
      {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, {4, 5, 6}, TWCC_SEQERROR},
      {DG_IMAGE, DAT_PALETTE8, MSG_GET, {4, 5, 6}, TWCC_SEQERROR},
      {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, {6}, TWCC_SEQERROR},
      {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, {4, 5, 6}, TWCC_BADPROTOCOL},
      {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, {6}, TWCC_SEQERROR},
      {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, {6}, TWCC_BADPROTOCOL},
      {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, {6, 7}, TWCC_BADPROTOCOL},
      // Outside the tables: refused in every state.
      {DG_CONTROL, DAT_CAPABILITY, MSG_GETFIRST, {}, TWCC_BADPROTOCOL},
      {DG_CONTROL, DAT_STATUS, MSG_SET, {}, TWCC_BADPROTOCOL},
      {DG_CONTROL, DAT_PARENT, MSG_GET, {}, TWCC_BADPROTOCOL},
      {DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, {}, TWCC_BADPROTOCOL},
      {4, DAT_IMAGEINFO, MSG_GET, {}, TWCC_BADPROTOCOL},
  };
  for (int state = 3; state <= 7; ++state) {
    SCOPED_TRACE(testing::Message() << "state " << state);
    app_.Unload();  // a fresh source for each state
    dsmReset_();
    scannerReset_();
    ASSERT_TRUE(app_.Load());
    GoTo(state);
    for (const Row& row : rows) {
      if (std::find(row.states.begin(), row.states.end(), state) != row.states.end()) continue;
      SCOPED_TRACE(testing::Message() << "DAT 0x" << std::hex << row.type << " MSG 0x" << row.message);
      std::vector<BYTE> data(2048, 0);  // room for any record
      EXPECT_EQ(app_.Call(row.group, row.type, row.message, data.data()), TWRC_FAILURE);
      EXPECT_EQ(app_.Condition(), row.condition);
      EXPECT_EQ(State(), state);
    }
    if (state > 3) {
      EXPECT_EQ(app_.Close(), TWRC_SUCCESS);
    }
  }
}

TEST_F(TwainStateTest, StatusOtherApplicationsAndEvents) {
  ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
  TW_CAPABILITY cap{0x7777, TWON_DONTCARE16, nullptr};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_BADCAP);
  EXPECT_EQ(app_.Condition(), TWCC_SUCCESS);  // read once, then cleared
  // Another application is refused, and its status says why: the source serves one
  // application at a time. Its requests leave the first application's condition alone.
  TW_IDENTITY other = app_.Identity();
  other.Id = 9;
  TwainApplication second;
  ASSERT_TRUE(second.Load());
  second.Identity() = other;
  TW_IDENTITY source = app_.Source();
  EXPECT_EQ(second.Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
  TW_STATUS status{};
  EXPECT_EQ(second.Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
  EXPECT_EQ(status.ConditionCode, TWCC_MAXCONNECTIONS);
  EXPECT_EQ(app_.Condition(), TWCC_SUCCESS);
  second.Unload();
  // Without the source's windows no event is the source's, and the event is left alone.
  TW_EVENT event{nullptr, 0x1234};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
  EXPECT_EQ(event.TWMessage, 0x1234);
  // The user interface is the source's modeless dialog: the application hears so.
  TW_USERINTERFACE ui{TRUE, TRUE, nullptr};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
  EXPECT_FALSE(ui.ModalUI);
  EXPECT_EQ(State(), 5);
  EXPECT_EQ(app_.Disable(), TWRC_SUCCESS);
  EXPECT_EQ(State(), 4);
  // Records the source must write into are required.
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, nullptr), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_BADVALUE);
  EXPECT_EQ(app_.Close(), TWRC_SUCCESS);
}

TEST_F(TwainStateTest, ClosingWhileTransferringEndsTheScanAndTheDevice) {
  for (int state : {5, 6, 7}) {
    SCOPED_TRACE(state);
    scannerReset_();
    GoTo(state);
    EXPECT_EQ(app_.Close(), TWRC_SUCCESS);
    EXPECT_EQ(State(), 3);
    // The device is unlocked and closed: only the test still holds its library.
    EXPECT_EQ(SimModuleUseCount(scanner_), 1);
    // A new connection scans a whole new image.
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
    ReceivedImage image;
    EXPECT_EQ(app_.TransferMemory(image), TWRC_XFERDONE);
    EXPECT_EQ(image.Height, 3400u);
    EXPECT_EQ(app_.Close(), TWRC_SUCCESS);
  }
}

TEST_F(TwainStateTest, OpeningWithoutScannerOrFilterEntryFailsAndCanBeRetried) {
  SimModuleFailLoad(u"pelvodev.dll", ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(app_.Open(), TWRC_FAILURE);
  EXPECT_EQ(app_.Condition(), TWCC_NODS);
  EXPECT_EQ(State(), 3);
  SimModuleFailLoad(u"pelvodev.dll", 0);
  EXPECT_EQ(app_.Open(), TWRC_SUCCESS);  // the refused open left no application connected
  EXPECT_EQ(app_.Close(), TWRC_SUCCESS);

  // Each image-filter library without one of its required entries.
  const std::filesystem::path variants = TestDriverDir() / "filter_variants";
  const std::u16string filter = std::u16string(SimDriverDirectory()) + u"\\pelvofilt.dll";
  for (const char* entry : {"fgf_Create", "fgf_Run", "fgf_Release", "fgf_ZoomAndDelBack", "fgf_FullToGray",
                            "MonocromeNoiseReduction", "TRC_LUT_LIST"}) {
    SCOPED_TRACE(entry);
    app_.Unload();
    std::filesystem::remove(Host(filter.c_str()));
    std::filesystem::copy_file(variants / entry / "pelvofilt.dll", Host(filter.c_str()));
    ASSERT_TRUE(app_.Load());
    EXPECT_EQ(app_.Open(), TWRC_FAILURE);
    EXPECT_EQ(app_.Condition(), TWCC_NODS);
    EXPECT_EQ(State(), 3);
  }
}

}  // namespace
