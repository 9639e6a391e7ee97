// The device-status button of the main tab pressed through the document sheet: a printer on a
// local port hands its name to a stand-in status monitor window (found through its registry
// key, class and title) that records what it receives; other printers get a message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/registry_sim.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;

constexpr int kDeviceStatusButton = 3831;
constexpr const WCHAR* kMonitorKey = u"SOFTWARE\\Qorvex\\Status Monitor\\Qorvex QX-4500";
constexpr const WCHAR* kMonitorClass = u"QorvexStatusMonitor";
constexpr const WCHAR* kMonitorTitle = u"Qorvex Status Monitor";

// What the stand-in monitor window received with one WM_COPYDATA.
struct MonitorDelivery {
  WPARAM sender = 0;
  ULONG_PTR number = 0;
  DWORD bytes = 0;
  std::u16string text;
};

// The stand-in monitor: records every WM_COPYDATA and answers the scripted value.
struct StandInMonitor {
  static inline std::vector<MonitorDelivery> deliveries;
  static inline LRESULT answer = 1;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    MonitorDelivery delivery{wParam, record->dwData, record->cbData, {}};
    const auto* text = static_cast<const WCHAR*>(record->lpData);
    delivery.text.assign(text, record->cbData / sizeof(WCHAR));
    deliveries.push_back(delivery);
    return answer;
  }
};

class DeviceStatusTest : public sheet_test::SheetTest {
 protected:
  void TearDown() override {
    if (monitor_ != nullptr) DestroyWindow(monitor_);
    UnregisterClassW(kMonitorClass, nullptr);
    SheetTest::TearDown();
  }

  // "P1" again on another port with other attributes, installed as the spooler installs it.
  void ReinstallPrinter(const std::u16string& port, DWORD attributes) {
    ASSERT_TRUE(SimRemovePrinter(kPrinter));
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    setup.portName = port;
    setup.attributes = attributes;
    setup.devMode = defaults_;
    ASSERT_TRUE(SimAddPrinter(setup));
    auto event = reinterpret_cast<DrvPrinterEventProc>(GetProcAddress(ui_, "DrvPrinterEvent"));
    ASSERT_NE(event, nullptr);
    ASSERT_TRUE(event(const_cast<LPWSTR>(kPrinter), PRINTER_EVENT_INITIALIZE, 0, 0));
  }

  void StartMonitor(LRESULT answer) {
    StandInMonitor::deliveries.clear();
    StandInMonitor::answer = answer;
    WNDCLASSW monitorClass{};
    monitorClass.lpfnWndProc = StandInMonitor::Procedure;
    monitorClass.lpszClassName = kMonitorClass;
    RegisterClassW(&monitorClass);
    monitor_ = CreateWindowExW(0, kMonitorClass, kMonitorTitle, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(monitor_, nullptr);
  }

  HWND monitor_ = nullptr;
};

struct StatusCase {
  const char* name;
  const WCHAR* port;
  bool bidi;
  bool monitorKey;
  bool monitorWindow;
  LRESULT monitorAnswer;
  LONG expectedMessage;  // 0: no box
  bool monitorReached;
};

constexpr const WCHAR* kUnreachable = u"The status monitor cannot be reached.";
constexpr const WCHAR* kOnlyLocal = u"The status is shown only for printers connected to this computer.";
constexpr const WCHAR* kNeedsBidi = u"Turn on bidirectional support to see the status.";

const StatusCase kStatusCases[] = {
    {"LptWithoutMonitorKey", u"LPT1:", false, false, true, 1, 9502, false},
    {"LptWithoutMonitorWindow", u"LPT2:", true, true, false, 1, 9502, false},
    {"UsbMonitorTakesWithoutBidi", u"USB001", false, true, true, 1, 9504, true},
    {"UsbMonitorTakesWithBidi", u"USB001", true, true, true, 1, 0, true},
    {"VendorUsbMonitorRefuses", u"VQUSB3", true, true, true, 0, 9502, true},
    {"MonitorAnswerOtherThanOne", u"LPT3:", true, true, true, 2, 9502, true},
    {"NetworkPortNeverLooks", u"IP_10.0.0.5", true, true, true, 1, 9503, false},
    {"FourthParallelPortIsNotLocal", u"LPT4:", true, true, true, 1, 9503, false},
};

const WCHAR* MessageText(LONG id) {
  switch (id) {
    case 9502: return kUnreachable;
    case 9503: return kOnlyLocal;
    default: return kNeedsBidi;
  }
}

TEST_F(DeviceStatusTest, StatusButtonOfTheMainTab) {
  for (const StatusCase& c : kStatusCases) {
    SCOPED_TRACE(c.name);
    ReinstallPrinter(c.port, PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED |
                                 (c.bidi ? PRINTER_ATTRIBUTE_ENABLE_BIDI : 0));
    SimRegistryReset();
    if (c.monitorKey) SimRegistrySeedKey(HKEY_LOCAL_MACHINE, kMonitorKey);
    if (monitor_ != nullptr) DestroyWindow(monitor_);
    monitor_ = nullptr;
    StandInMonitor::deliveries.clear();
    if (c.monitorWindow) StartMonitor(c.monitorAnswer);
    SimMessageBoxReset();
    HWND pressedOn = nullptr;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      pressedOn = ShowTab(sheet, 0);
      EXPECT_TRUE(SimClick(GetDlgItem(pressedOn, kDeviceStatusButton)));
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
    });
    const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
    if (c.expectedMessage == 0) {
      EXPECT_TRUE(boxes.empty());
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, MessageText(c.expectedMessage));
      EXPECT_EQ(boxes[0].caption, u"Printer Settings");
      EXPECT_EQ(boxes[0].type & MB_ICONMASK, UINT(MB_ICONWARNING));
    }
    if (!c.monitorReached) {
      EXPECT_TRUE(StandInMonitor::deliveries.empty());
      continue;
    }
    ASSERT_EQ(StandInMonitor::deliveries.size(), 1u);
    const MonitorDelivery& delivery = StandInMonitor::deliveries[0];
    EXPECT_EQ(delivery.sender, reinterpret_cast<WPARAM>(pressedOn));
    EXPECT_EQ(delivery.number, 0u);
    EXPECT_EQ(delivery.bytes, 3 * sizeof(WCHAR));  // "P1" and its terminator
    EXPECT_EQ(delivery.text, std::u16string(u"P1", 3));
  }
}

}  // namespace
