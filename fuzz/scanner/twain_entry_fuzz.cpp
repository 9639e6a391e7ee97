// Fuzzes the data source's entry point: each input is a run of requests (data group, type,
// message and the bytes of the record, capability container or memory buffer they carry)
// sent through DS_Entry from whatever state the earlier requests reached; the source is
// closed again after each input. Nothing may crash, leak or touch memory it was not given.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/types.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/twain/twain.h"

namespace {

using ResetProc = void (*)();

struct Harness {
  HMODULE Manager = nullptr;
  HMODULE Scanner = nullptr;
  HMODULE Filter = nullptr;
  // The stand-ins' records are emptied before each input (they would grow without end).
  ResetProc ResetManager = nullptr;
  ResetProc ResetScanner = nullptr;
  ResetProc ResetFilter = nullptr;
  HMODULE Source = nullptr;
  DSENTRYPROC Entry = nullptr;
  TW_IDENTITY Application{};
};

// The triplets the source knows, and a few it does not; the fuzzer picks by index or sends
// raw values.
struct KnownTriplet {
  TW_UINT32 Group;
  TW_UINT16 Type;
  TW_UINT16 Message;
};
constexpr KnownTriplet kTriplets[] = {
    {DG_CONTROL, DAT_IDENTITY, MSG_GET},          {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS},
    {DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS},      {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS}, {DG_CONTROL, DAT_CAPABILITY, MSG_GET},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT}, {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET},        {DG_CONTROL, DAT_CAPABILITY, MSG_RESET},
    {DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT}, {DG_CONTROL, DAT_STATUS, MSG_GET},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET},      {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER},  {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET},     {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET},   {DG_CONTROL, DAT_XFERGROUP, MSG_GET},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET},           {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET},         {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET},        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET},       {DG_IMAGE, DAT_PALETTE8, MSG_GET},
    {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT},
};
constexpr size_t kTripletCount = sizeof kTriplets / sizeof kTriplets[0];
constexpr size_t kRecordBytes = 1100;        // room for the largest record (TW_PALETTE8)
constexpr size_t kMaxRequests = 64;

Harness& Setup() {
  static Harness h = [] {
    Harness s;
    const char* env = std::getenv("QV_DRIVER_DIR");
    const std::string driver = env != nullptr && *env != 0 ? env : QV_DRIVER_DIR;
    static const std::string root =
        (std::filesystem::temp_directory_path() / ("qv-fuzz-twain-" + std::to_string(::getpid()))).string();
    SimSetSandboxRoot(root);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(root, ec);
    });
    SimInstallDriverFiles(driver);
    SimSetInstantSleep(TRUE);
    s.Manager = LoadLibraryW(u"TWAIN_32.DLL");
    s.Scanner = LoadLibraryW(u"pelvodev.dll");
    s.Filter = LoadLibraryW(u"pelvofilt.dll");
    s.Source = LoadLibraryW(u"pelvo.ds");
    if (s.Source == nullptr || s.Manager == nullptr || s.Scanner == nullptr || s.Filter == nullptr) std::abort();
    s.ResetManager = reinterpret_cast<ResetProc>(GetProcAddress(s.Manager, "SimDsmReset"));
    s.ResetScanner = reinterpret_cast<ResetProc>(GetProcAddress(s.Scanner, "SimScannerReset"));
    s.ResetFilter = reinterpret_cast<ResetProc>(GetProcAddress(s.Filter, "SimFilterReset"));
    if (s.ResetManager == nullptr || s.ResetScanner == nullptr || s.ResetFilter == nullptr) std::abort();
    s.Entry = reinterpret_cast<DSENTRYPROC>(GetProcAddress(s.Source, "DS_Entry"));
    if (s.Entry == nullptr) std::abort();
    s.Application.Id = 1;
    return s;
  }();
  return h;
}

// Reads n bytes of the input (zeros past its end).
struct Reader {
  const std::uint8_t* Data;
  size_t Size;
  size_t At = 0;
  std::uint8_t Byte() { return At < Size ? Data[At++] : 0; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
  std::vector<BYTE> Bytes(size_t n) {
    std::vector<BYTE> v(n, 0);
    for (size_t i = 0; i < n && At < Size; ++i) v[i] = Data[At++];
    return v;
  }
  bool Done() const { return At >= Size; }
};

void Send(Harness& h, Reader& in) {
  const std::uint8_t pick = in.Byte();
  KnownTriplet t;
  if (pick < 0xF0) {
    t = kTriplets[pick % kTripletCount];
  } else {
    t = {in.Byte(), in.Word(), in.Word()};
  }
  const std::uint16_t length = static_cast<std::uint16_t>(in.Word() % 4096);
  std::vector<BYTE> payload = in.Bytes(length);
  // Each identity the source sees is the application's; sometimes another application's.
  TW_IDENTITY origin = h.Application;
  if (pick == 0xEF) origin.Id = 7;
  if (t.Type == DAT_CAPABILITY) {
    // The record with a container of exactly the payload's bytes (or none).
    TW_CAPABILITY cap{};
    if (!payload.empty()) std::memcpy(&cap, payload.data(), payload.size() < 4 ? payload.size() : 4);
    HGLOBAL container = nullptr;
    if (payload.size() > 4) {
      container = GlobalAlloc(GMEM_MOVEABLE, payload.size() - 4);
      std::memcpy(GlobalLock(container), payload.data() + 4, payload.size() - 4);
      GlobalUnlock(container);
    }
    cap.hContainer = container;
    h.Entry(&origin, t.Group, t.Type, t.Message, &cap);
    if (cap.hContainer != container && cap.hContainer != nullptr) GlobalFree(cap.hContainer);
    if (container != nullptr) GlobalFree(container);
    return;
  }
  if (t.Type == DAT_IMAGEMEMXFER) {
    // The buffer: the payload's first word gives its size; a pointer or a handle.
    TW_IMAGEMEMXFER x{};
    const DWORD size = payload.size() >= 2 ? (payload[0] | (payload[1] << 8)) * 4u : 0;
    const bool byHandle = payload.size() >= 3 && (payload[2] & 1);
    std::vector<BYTE> memory(size);
    HGLOBAL handle = byHandle ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    x.Memory.Flags = byHandle ? TWMF_HANDLE : TWMF_POINTER;
    x.Memory.Length = size;
    x.Memory.TheMem = byHandle ? handle : (size != 0 ? memory.data() : nullptr);
    h.Entry(&origin, t.Group, t.Type, t.Message, &x);
    if (handle != nullptr) GlobalFree(handle);
    return;
  }
  if (t.Type == DAT_IMAGENATIVEXFER) {
    TW_HANDLE bitmap = nullptr;
    h.Entry(&origin, t.Group, t.Type, t.Message, &bitmap);
    if (bitmap != nullptr) GlobalFree(bitmap);
    return;
  }
  std::vector<BYTE> record(kRecordBytes, 0);
  if (!payload.empty())
    std::memcpy(record.data(), payload.data(), payload.size() < kRecordBytes ? payload.size() : kRecordBytes);
  // Window handles and events point nowhere: there are no windows here.
  if (t.Type == DAT_USERINTERFACE) std::memset(record.data() + 4, 0, sizeof(HWND));
  if (t.Type == DAT_EVENT) std::memset(record.data(), 0, sizeof(void*));
  h.Entry(&origin, t.Group, t.Type, t.Message, (pick & 1) && length == 0 ? nullptr : record.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Harness& h = Setup();
  h.ResetManager();
  h.ResetScanner();
  h.ResetFilter();
  Reader in{data, size};
  for (size_t n = 0; n < kMaxRequests && !in.Done(); ++n) Send(h, in);
  // Back to state 3 for the next input, whatever state this one reached.
  TW_IDENTITY source{};
  source.Id = 2;
  h.Entry(&h.Application, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
  return 0;
}
