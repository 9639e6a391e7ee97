// Stand-in drawing library: the 59 entry points the graphics module binds. Each call is traced
// with deep copies of its data, checked against the call protocol, answered as scripted, and
// written into the print job as a record of the stream in drawlib_stream.h.
#include <bit>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "outside/drawlib/drawlib_sim.h"
#include "outside/drawlib/drawlib_stream.h"
#include "platform/base/byte_order.h"
#include "platform/base/export.h"
#include "platform/spooler/spooler.h"

namespace {

struct Session {
  int id;
  HANDLE printer;
  // The resource path block of VR_Initialize, which the caller keeps until VR_Finalize: every
  // job, and the session's end, writes to the printer it names then.
  const BYTE* resource = nullptr;
  bool inJob = false;
  bool inPage = false;
  bool headerSent = false;
  // Writing only: records not yet handed to the printer they were written for.
  std::vector<BYTE> pending;
  HANDLE pendingPrinter = nullptr;
};

// Writing only: records are handed to the print job in blocks of about this size, and at the end
// of every page, job and session.
constexpr size_t kPendingBlockBytes = 64 * 1024;

struct Script {
  std::string name;
  DWORD nth;  // 0: every call
  int result;
};

struct Library {
  std::mutex lock;
  std::vector<std::unique_ptr<Session>> sessions;
  int nextId = 1;
  std::string trace;
  DWORD breaches = 0;
  std::vector<BYTE> stream;
  std::map<std::string, DWORD> counts;
  std::vector<Script> scripts;
  std::map<HANDLE, int> printers;  // printer handles as stable tokens
  bool countOnly = false;
  bool streamOnly = false;
};

Library& Lib() {
  static Library library;
  return library;
}

DWORD Crc32(const BYTE* data, DWORD length) {
  DWORD crc = 0xFFFFFFFF;
  for (DWORD i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

std::string Hex(const BYTE* data, DWORD length) {
  std::string text;
  char part[4];
  for (DWORD i = 0; i < length; ++i) {
    std::snprintf(part, sizeof(part), "%02X", data[i]);
    text += part;
  }
  return text;
}

std::string Float(float v) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(v));
  return text;
}

// A named field of a parameter block.
struct Field {
  DWORD offset;
  DWORD width;  // 1, 2, 4, or a text buffer's size; 8 for the printer handle
  const char* name;
  char kind;  // 'u' unsigned, 'i' signed, 'f' float, 's' text, 'h' printer handle, 'b' bytes
};

constexpr Field kDeviceFields[] = {{0, 4, "size", 'u'},      {16, 2, "baseX", 'u'},   {18, 2, "baseY", 'u'},
                                   {20, 2, "resX", 'u'},     {22, 2, "resY", 'u'},    {24, 2, "rasterX", 'u'},
                                   {26, 2, "rasterY", 'u'},  {28, 2, "w28", 'u'},     {30, 2, "w30", 'u'},
                                   {32, 260, "temp", 's'},   {292, 2, "duplex", 'u'}};
constexpr Field kResourceFields[] = {{0, 4, "size", 'u'},  {8, 8, "printer", 'h'}, {16, 520, "path", 's'},
                                     {536, 2, "w536", 'u'}, {540, 4, "w540", 'u'},  {544, 2, "w544", 'u'}};
constexpr Field kColorFields[] = {{4, 4, "flags1", 'u'},  {8, 4, "flags2", 'u'},  {12, 4, "flags3", 'u'},
                                  {16, 4, "white1", 'u'}, {20, 4, "tone1", 'u'},  {24, 4, "white2", 'u'},
                                  {28, 4, "tone2", 'u'},  {32, 4, "white3", 'u'}, {36, 4, "tone3", 'u'},
                                  {52, 2, "w52", 'u'},    {54, 2, "mode", 'u'},   {56, 4, "range1", 'u'},
                                  {60, 4, "range2", 'u'}, {64, 4, "range3", 'u'}, {68, 12, "center", 'b'},
                                  {80, 16, "adjust1", 'b'}, {96, 16, "adjust2", 'b'}, {112, 16, "adjust3", 'b'}};
constexpr Field kDebugFields[] = {{0, 4, "size", 'u'}, {4, 260, "path", 's'}, {264, 4, "w264", 'u'}};
constexpr Field kDataPathFields[] = {{0, 4, "size", 'u'}, {4, 260, "path", 's'}};
constexpr Field kPageFields[] = {{0, 4, "size", 'u'},    {4, 2, "w4", 'u'},        {6, 2, "paper", 'u'},
                                 {8, 4, "w8", 'u'},      {12, 4, "w12", 'u'},      {16, 4, "width", 'i'},
                                 {20, 4, "length", 'i'}, {24, 2, "custom", 'u'},   {26, 2, "source", 'u'},
                                 {28, 2, "w28", 'u'},    {30, 2, "w30", 'u'},      {32, 2, "w32", 'u'},
                                 {34, 2, "w34", 'u'},    {36, 4, "printW", 'f'},   {40, 4, "printL", 'f'},
                                 {44, 2, "count", 'u'}};
constexpr Field kPageSizeFields[] = {{0, 4, "size", 'u'}, {4, 2, "color", 'u'},  {6, 2, "width", 'u'},
                                     {8, 2, "length", 'u'}, {10, 2, "w10", 'u'}, {12, 4, "widthF", 'f'},
                                     {16, 4, "lengthF", 'f'}};

template <size_t N>
std::string DecodeBlock(const char* title, const BYTE* block, DWORD size, const Field (&fields)[N]) {
  std::string text = std::string(title) + "{";
  std::vector<bool> named(size, false);
  for (const Field& f : fields) {
    for (DWORD i = 0; i < f.width && f.offset + i < size; ++i) named[f.offset + i] = true;
    const BYTE* p = block + f.offset;
    std::string value;
    switch (f.kind) {
      case 'u':
        value = std::to_string(f.width == 2 ? GetLE16(p) : GetLE32(p));
        break;
      case 'i':
        value = std::to_string(static_cast<LONG>(GetLE32(p)));
        break;
      case 'f':
        value = Float(std::bit_cast<float>(GetLE32(p)));
        break;
      case 's':
        value = "\"" + std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), f.width)) + "\"";
        break;
      case 'h': {
        HANDLE h = nullptr;
        std::memcpy(&h, p, sizeof(h));
        auto& tokens = Lib().printers;
        if (h != nullptr && !tokens.count(h)) tokens[h] = static_cast<int>(tokens.size()) + 1;
        value = h == nullptr ? "none" : "prn" + std::to_string(tokens[h]);
        break;
      }
      default:
        value = Hex(p, f.width);
    }
    text += (text.back() == '{' ? "" : " ") + std::string(f.name) + "=" + value;
  }
  std::string stray;
  for (DWORD i = 0; i < size; ++i)
    if (!named[i] && block[i] != 0) stray += " @" + std::to_string(i) + "=" + std::to_string(block[i]);
  if (!stray.empty()) text += " unnamed:" + stray;
  return text + "}";
}

// One call: counted, scripted, traced, checked and written as a record.
class Call {
 public:
  Call(const char* name, void* handle, bool needsHandle = true)
      : guard_(Lib().lock), name_(name), record_{kVrRecordMarker[0], kVrRecordMarker[1], kVrRecordMarker[2], 0, 0, 0, 0, 0} {
    Library& lib = Lib();
    const DWORD count = ++lib.counts[name_];
    for (const Script& s : lib.scripts)
      if (s.name == name_ && (s.nth == 0 || s.nth == count)) {
        scripted_ = true;
        scriptedResult_ = s.result;
      }
    for (auto& s : lib.sessions)
      if (s.get() == handle) session_ = s.get();
    line_ = name_ + "(";
    if (needsHandle) {
      line_ += session_ != nullptr ? "h" + std::to_string(session_->id) : "?";
      if (session_ == nullptr && !lib.countOnly) Breach("a handle this library did not issue or has finalised");
    }
  }

  bool counting() const { return Lib().countOnly; }
  bool tracing() const { return !Lib().countOnly && !Lib().streamOnly; }
  bool scripted() const { return scripted_; }
  int scriptedResult() const { return scriptedResult_; }
  Session* session() const { return session_; }
  void SetSession(Session* s) { session_ = s; }

  void Breach(const std::string& what) {
    ++Lib().breaches;
    breaches_ += "! " + name_ + ": " + what + "\n";
  }

  // Trace and stream of the arguments.
  Call& U16(const char* name, WORD v) {
    Arg(name, std::to_string(v));
    Put(v, 2);
    return *this;
  }
  Call& U32(const char* name, DWORD v) {
    Arg(name, std::to_string(v));
    Put(v, 4);
    return *this;
  }
  Call& I32(const char* name, LONG v) {
    Arg(name, std::to_string(v));
    Put(static_cast<DWORD>(v), 4);
    return *this;
  }
  Call& U8(const char* name, BYTE v) {
    Arg(name, std::to_string(v));
    Put(v, 1);
    return *this;
  }
  Call& F32(const char* name, float v) {
    Arg(name, Float(v));
    Put(std::bit_cast<DWORD>(v), 4);
    return *this;
  }
  Call& Floats(const char* name, const float* v, DWORD n) {
    if (n > 0 && v == nullptr) {
      Breach(std::string(name) + ": a count without data");
      Arg(name, "NULL");
      return *this;
    }
    std::string text = "[";
    for (DWORD i = 0; i < n; ++i) {
      if (tracing()) text += (i ? "," : "") + Float(v[i]);
      Put(std::bit_cast<DWORD>(v[i]), 4);
    }
    Arg(name, text + "]");
    return *this;
  }
  Call& Point(const char* name, const LONG* p) {
    if (p == nullptr) {
      Breach(std::string(name) + ": no point");
      Put(0, 4);
      Put(0, 4);
      Arg(name, "NULL");
      return *this;
    }
    Arg(name, "(" + std::to_string(p[0]) + "," + std::to_string(p[1]) + ")");
    Put(static_cast<DWORD>(p[0]), 4);
    Put(static_cast<DWORD>(p[1]), 4);
    return *this;
  }
  Call& Color(const char* name, WORD space, const BYTE* color) {
    const DWORD n = space == 3 ? 1 : space == 4 ? 3 : 0;
    if (n == 0) Breach(std::string(name) + ": colour space " + std::to_string(space));
    if (n > 0 && color == nullptr) {
      Breach(std::string(name) + ": no colour bytes");
      Arg(name, "NULL");
      for (DWORD i = 0; i < n; ++i) Put(0, 1);
      return *this;
    }
    Arg(name, Hex(color, n));
    Bytes(color, n);
    return *this;
  }
  // Data of a length another argument gives: its length and CRC in the trace, the bytes in the
  // stream (the bytes themselves in the trace when there are at most 16).
  Call& Data(const char* name, const BYTE* data, DWORD length) {
    if (counting()) return *this;  // counting only: nothing is traced, checked or written
    if (length > 0 && data == nullptr) {
      Breach(std::string(name) + ": a length without data");
      Arg(name, "NULL");
      for (DWORD i = 0; i < length && i < 0x100000; ++i) Put(0, 1);
      return *this;
    }
    if (tracing()) {
      char crc[16];
      std::snprintf(crc, sizeof(crc), "%08X", Crc32(data, length));
      Arg(name, length <= 16 ? "[" + Hex(data, length) + "]" : std::to_string(length) + "b crc=" + crc);
    }
    Bytes(data, length);
    return *this;
  }
  // A parameter block decoded field by field; the first streamBytes of it go to the stream.
  template <size_t N>
  Call& Block(const char* title, const BYTE* block, DWORD size, const Field (&fields)[N], DWORD streamBytes) {
    if (block == nullptr) {
      Breach(std::string(title) + ": no block");
      Arg(nullptr, std::string(title) + "=NULL");
      for (DWORD i = 0; i < streamBytes; ++i) Put(0, 1);
      return *this;
    }
    if (tracing()) Arg(nullptr, DecodeBlock(title, block, size, fields));
    Bytes(block, streamBytes);
    return *this;
  }
  Call& Text(const std::string& text) {
    Arg(nullptr, text);
    return *this;
  }
  void Bytes(const BYTE* data, DWORD length) { payload_.insert(payload_.end(), data, data + length); }

  // Ends the call: the trace line, then the record written to the session's printer. The
  // call's answer, or -1 when the record could not be written.
  int Finish(int result, bool write = true) {
    Library& lib = Lib();
    if (lib.countOnly) return result;
    if (!lib.streamOnly) lib.trace += line_ + ") = " + std::to_string(result) + "\n" + breaches_;
    if (!write || session_ == nullptr || result != 0) return result;
    BYTE head[kVrRecordHeadBytes];
    std::memcpy(head, record_, kVrRecordHeadBytes);
    head[3] = static_cast<BYTE>(Slot());
    PutLE32(head + 4, static_cast<DWORD>(payload_.size()));
    if (lib.streamOnly) {
      // Writing only: the head and the payload go to the job as they are, without a copy of both.
      if (!WriteOut(head, kVrRecordHeadBytes) || !WriteOut(payload_.data(), static_cast<DWORD>(payload_.size())))
        return -1;
    } else {
      std::vector<BYTE> bytes(head, head + kVrRecordHeadBytes);
      bytes.insert(bytes.end(), payload_.begin(), payload_.end());
      if (!WriteOut(bytes.data(), static_cast<DWORD>(bytes.size()))) return -1;
    }
    const bool ends = name_ == "VR_EndPage" || name_ == "VR_ShowPage" || name_ == "VR_EndJob" || name_ == "VR_Finalize";
    return !ends || FlushPending() ? result : -1;
  }

  // Raw bytes to the session's printer (the header and trailer texts). Writing only, they are
  // gathered per printer and handed over in blocks.
  bool WriteOut(const BYTE* data, DWORD length) {
    Library& lib = Lib();
    if (lib.streamOnly) {
      if (session_->pendingPrinter != session_->printer && !FlushPending()) return false;
      session_->pendingPrinter = session_->printer;
      if (session_->pending.size() + length >= kPendingBlockBytes) {
        // A block is full: what is gathered goes first, a large piece then goes as it is.
        if (!FlushPending()) return false;
        if (length >= kPendingBlockBytes) return WriteToPrinter(session_->printer, data, length);
      }
      session_->pending.insert(session_->pending.end(), data, data + length);
      return true;
    }
    if (!WriteToPrinter(session_->printer, data, length)) return false;
    lib.stream.insert(lib.stream.end(), data, data + length);
    return true;
  }

  // Writing only: the gathered bytes to the printer they were written for.
  bool FlushPending() {
    if (session_->pending.empty()) return true;
    const bool written = WriteToPrinter(session_->pendingPrinter, session_->pending.data(),
                                        static_cast<DWORD>(session_->pending.size()));
    session_->pending.clear();
    return written;
  }

 private:
  int Slot() const;
  void Arg(const char* name, const std::string& value) {
    if (Lib().countOnly || Lib().streamOnly) return;
    line_ += (line_.back() == '(' ? "" : ", ") + (name != nullptr ? std::string(name) + "=" : std::string()) + value;
  }
  bool WriteToPrinter(HANDLE printer, const BYTE* data, DWORD length) {
    DWORD written = 0;
    if (printer == nullptr || !WritePrinter(printer, data, length, &written) || written != length) {
      Breach("the print job did not take the bytes");
      if (!Lib().streamOnly) Lib().trace += breaches_;
      breaches_.clear();
      return false;
    }
    return true;
  }
  void Put(DWORD v, int width) {
    for (int i = 0; i < width; ++i) payload_.push_back(static_cast<BYTE>(v >> (8 * i)));
  }

  std::lock_guard<std::mutex> guard_;
  std::string name_;
  std::string line_;
  std::string breaches_;
  std::vector<BYTE> payload_;
  BYTE record_[kVrRecordHeadBytes];
  Session* session_ = nullptr;
  bool scripted_ = false;
  int scriptedResult_ = 0;
};

const char* const kNames[kVrSlotCount] = {
    "VR_SetAxis", "VR_InitClip", "VR_SetRectangleClip", "VR_ClipPath", "VR_SetLineWidth", "VR_SetLineCap",
    "VR_SetLineJoin", "VR_SetMiterLimit", "VR_SetLineType", "VR_AdjustStroke", "VR_SetFillMode", "VR_SetDrawMode",
    "VR_SetRopMode", "VR_SetSolidColor", "VR_SetHatchPattern", "VR_SetMaskPattern", "VR_SetRasterPattern",
    "VR_SetGraphicsMode", "VR_InitPath", "VR_ClosePath", "VR_DrawPath", "VR_AddLinePath", "VR_AddRectanglePath",
    "VR_DrawLine", "VR_DrawScanline", "VR_DrawRectangle", "VR_DrawImageMask", "VR_DrawImage", "VR_DrawFont",
    "VR_StartJob", "VR_EndJob", "VR_StartPage", "VR_EndPage", "VR_ShowPage", "VR_SetPatternResolution",
    "VR_SetColorParameter", "VR_MovePoint", "VR_Initialize", "VR_Finalize", "VR_GetMemSize", "VR_AddEllipseArcPath",
    "VR_AddEllipseChordPath", "VR_AddEllipsePiePath", "VR_AddBezierPath", "VR_AddRoundRectanglePath",
    "VR_DrawCircleArc", "VR_DrawEllipseArc", "VR_DrawEllipseChord", "VR_DrawCirclePie", "VR_DrawEllipsePie",
    "VR_DrawBezier", "VR_DrawRoundRectangle", "VR_SetLogFont", "VR_DrawCodeFont", "VR_DrawDataFont",
    "VR_SendJobHeader", "VR_SendJobTrailer", "VR_ErrorFinalize", "VR_SetRasterSmoothingMode"};

int Call::Slot() const {
  for (int i = 0; i < kVrSlotCount; ++i)
    if (name_ == kNames[i]) return i + 1;
  return 0;
}

// The calls without arguments and those with six or five floats share one shape each.
int Plain(const char* name, void* h) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  return c.Finish(0);
}

int SixFloats(const char* name, void* h, float a, float b, float d, float e, float f, float g) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  const float v[6] = {a, b, d, e, f, g};
  c.Floats("v", v, 6);
  return c.Finish(0);
}

int FiveFloats(const char* name, void* h, float a, float b, float d, float e, float f) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  const float v[5] = {a, b, d, e, f};
  c.Floats("v", v, 5);
  return c.Finish(0);
}

// The entry points that nothing may call.
int Forbidden(const char* name, void* h) {
  Call c(name, h);
  c.Breach("an entry point nothing calls");
  return c.Finish(-1, false);
}

}  // namespace

// ---- The entry points --------------------------------------------------------------------------

DLLEXPORT void* VR_Initialize(const BYTE* device, const BYTE* resource, const BYTE* job, const BYTE* color,
                              const BYTE* debug, const BYTE* dataPath) {
  Call c("VR_Initialize", nullptr, false);
  if (c.scripted()) {
    c.Finish(0, false);
    return nullptr;
  }
  Library& lib = Lib();
  auto session = std::make_unique<Session>();
  session->id = lib.nextId++;
  if (resource != nullptr) std::memcpy(&session->printer, resource + 8, sizeof(HANDLE));
  session->resource = resource;
  c.SetSession(session.get());
  c.Block("device", device, 296, kDeviceFields, 296);
  c.Block("resource", resource, 552, kResourceFields, 552);
  if (job != nullptr) {
    std::string words = "job{";
    for (DWORD offset = 0; offset < 236; offset += 4)
      if (GetLE32(job + offset) != 0)
        words += (words.back() == '{' ? "" : " ") + std::to_string(offset) + "=" + std::to_string(GetLE32(job + offset));
    c.Text(words + "}");
    c.Bytes(job, 236);
  } else {
    c.Block("job", job, 236, kDebugFields, 236);
  }
  c.Block("color", color, 14392, kColorFields, kColorBlockHeadBytes);
  c.Block("debug", debug, 268, kDebugFields, 268);
  c.Block("data", dataPath, 264, kDataPathFields, 264);
  Session* raw = session.get();
  lib.sessions.push_back(std::move(session));
  if (c.Finish(0) != 0) {
    for (auto it = lib.sessions.begin(); it != lib.sessions.end(); ++it)
      if (it->get() == raw) {
        lib.sessions.erase(it);
        break;
      }
    return nullptr;
  }
  return raw;
}

DLLEXPORT int VR_Finalize(void* h) {
  Call c("VR_Finalize", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  Session* s = c.session();
  if (s != nullptr && s->inPage) c.Breach("the session ends inside a page");
  if (s != nullptr && s->inJob) c.Breach("the session ends inside a job");
  if (s != nullptr && s->resource != nullptr) std::memcpy(&s->printer, s->resource + 8, sizeof(HANDLE));
  const int result = c.Finish(0);
  if (s != nullptr) {
    auto& sessions = Lib().sessions;
    for (auto it = sessions.begin(); it != sessions.end(); ++it)
      if (it->get() == s) {
        sessions.erase(it);
        break;
      }
  }
  return result;
}

DLLEXPORT int VR_SetAxis(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_SetAxis", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_InitClip(void* h) { return Plain("VR_InitClip", h); }

DLLEXPORT int VR_SetRectangleClip(void* h, WORD one, const LONG* corner1, const LONG* corner2) {
  Call c("VR_SetRectangleClip", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("one", one).Point("c1", corner1).Point("c2", corner2);
  return c.Finish(0);
}

DLLEXPORT int VR_ClipPath(void* h, WORD two) {
  Call c("VR_ClipPath", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("mode", two);
  return c.Finish(0);
}

namespace {

int OneWord(const char* name, void* h, const char* arg, WORD v) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16(arg, v);
  return c.Finish(0);
}

int OneFloat(const char* name, void* h, const char* arg, float v) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.F32(arg, v);
  return c.Finish(0);
}

int TwoFloats(const char* name, void* h, float a, float b) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.F32("x", a).F32("y", b);
  return c.Finish(0);
}

int PointList(const char* name, void* h, WORD n, const float* values, DWORD perItem) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("n", n).Floats("v", values, n * perItem);
  return c.Finish(0);
}

}  // namespace

DLLEXPORT int VR_SetLineWidth(void* h, float w) { return OneFloat("VR_SetLineWidth", h, "width", w); }
DLLEXPORT int VR_SetLineCap(void* h, WORD v) { return OneWord("VR_SetLineCap", h, "cap", v); }
DLLEXPORT int VR_SetLineJoin(void* h, WORD v) { return OneWord("VR_SetLineJoin", h, "join", v); }
DLLEXPORT int VR_SetMiterLimit(void* h, float v) { return OneFloat("VR_SetMiterLimit", h, "limit", v); }

DLLEXPORT int VR_SetLineType(void* h, WORD kind, float offset, WORD count, const float* dashes) {
  Call c("VR_SetLineType", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("kind", kind).F32("off", offset).U16("n", count).Floats("dashes", dashes, count);
  return c.Finish(0);
}

DLLEXPORT int VR_AdjustStroke(void* h, DWORD v) {
  Call c("VR_AdjustStroke", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U32("value", v);
  return c.Finish(0);
}

DLLEXPORT int VR_SetFillMode(void* h, WORD v) { return OneWord("VR_SetFillMode", h, "mode", v); }
DLLEXPORT int VR_SetDrawMode(void* h, WORD v) { return OneWord("VR_SetDrawMode", h, "mode", v); }

DLLEXPORT int VR_SetRopMode(void* h, WORD code, DWORD value) {
  Call c("VR_SetRopMode", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("code", code).U32("value", value);
  return c.Finish(0);
}

DLLEXPORT int VR_SetSolidColor(void* h, WORD kind, WORD space, const BYTE* color) {
  Call c("VR_SetSolidColor", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("kind", kind).U16("cs", space).Color("color", space, color);
  return c.Finish(0);
}

DLLEXPORT int VR_SetHatchPattern(void* h, const LONG* origin, WORD style, WORD space1, WORD space2, DWORD high,
                                 const BYTE* color1, const BYTE* color2, WORD background, BYTE low) {
  Call c("VR_SetHatchPattern", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.Point("org", origin).U16("style", style).U16("cs1", space1).U16("cs2", space2).U32("high", high);
  c.Color("c1", space1, color1).Color("c2", space2, color2).U16("bg", background).U8("low", low);
  return c.Finish(0);
}

DLLEXPORT int VR_SetMaskPattern(void* h, const LONG* origin, WORD kind, WORD space1, WORD space2, DWORD one,
                                const BYTE* color1, const BYTE* color2, WORD background, WORD width, WORD height,
                                const BYTE* bits) {
  Call c("VR_SetMaskPattern", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.Point("org", origin).U16("kind", kind).U16("cs1", space1).U16("cs2", space2).U32("one", one);
  c.Color("c1", space1, color1).Color("c2", space2, color2).U16("bg", background).U16("w", width).U16("h", height);
  c.Data("bits", bits, ((static_cast<DWORD>(width) + 7) >> 3) * height);
  return c.Finish(0);
}

DLLEXPORT int VR_SetRasterPattern(void* h, const LONG* origin, WORD kind, WORD space, WORD bits, WORD width,
                                  WORD height, WORD one, DWORD length, const BYTE* data) {
  Call c("VR_SetRasterPattern", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.Point("org", origin).U16("kind", kind).U16("cs", space).U16("bits", bits).U16("w", width).U16("h", height);
  c.U16("one", one).U32("len", length).Data("data", data, length);
  return c.Finish(0);
}

DLLEXPORT int VR_SetGraphicsMode(void* h, WORD second, WORD first) {
  Call c("VR_SetGraphicsMode", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("second", second).U16("first", first);
  return c.Finish(0);
}

DLLEXPORT int VR_InitPath(void* h) { return Plain("VR_InitPath", h); }
DLLEXPORT int VR_ClosePath(void* h) { return Plain("VR_ClosePath", h); }
DLLEXPORT int VR_DrawPath(void* h) { return Plain("VR_DrawPath", h); }
DLLEXPORT int VR_AddLinePath(void* h, WORD n, const float* v) { return PointList("VR_AddLinePath", h, n, v, 2); }
DLLEXPORT int VR_AddRectanglePath(void* h, float a, float b) { return TwoFloats("VR_AddRectanglePath", h, a, b); }

DLLEXPORT int VR_DrawLine(void* h, WORD n, const float* v) {
  Call c("VR_DrawLine", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("n", n).Floats("v", v, 2u * n + 2);
  return c.Finish(0);
}

DLLEXPORT int VR_DrawScanline(void* h) { return Forbidden("VR_DrawScanline", h); }

DLLEXPORT int VR_DrawRectangle(void* h, float x0, float y0, float x1, float y1, WORD one) {
  Call c("VR_DrawRectangle", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.F32("x0", x0).F32("y0", y0).F32("x1", x1).F32("y1", y1).U16("one", one);
  return c.Finish(0);
}

DLLEXPORT int VR_DrawImageMask(void* h, float x, float y, float m0, float m1, float m2, float m3, float m4, float m5,
                               WORD width, WORD height, DWORD flag, DWORD length, const BYTE* data) {
  Call c("VR_DrawImageMask", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  const float m[6] = {m0, m1, m2, m3, m4, m5};
  c.F32("x", x).F32("y", y).Floats("m", m, 6).U16("w", width).U16("h", height).U32("flag", flag);
  c.U32("len", length).Data("data", data, length);
  return c.Finish(0);
}

DLLEXPORT int VR_DrawImage(void* h, float x, float y, float m0, float m1, float m2, float m3, float m4, float m5,
                           WORD width, WORD height, DWORD maskFlag, DWORD maskByteFlag, DWORD maskLength,
                           DWORD sourceFlag, WORD format, WORD entrySize, WORD entryCount, WORD tableLength,
                           const BYTE* table, WORD t0, WORD t1, WORD t2, DWORD imageLength, const BYTE* mask,
                           const BYTE* image, void* reserved) {
  Call c("VR_DrawImage", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  const float m[6] = {m0, m1, m2, m3, m4, m5};
  c.F32("x", x).F32("y", y).Floats("m", m, 6).U16("w", width).U16("h", height);
  c.U32("maskFlag", maskFlag).U32("maskByte", maskByteFlag).U32("maskLen", maskLength).U32("source", sourceFlag);
  c.U16("format", format).U16("entry", entrySize).U16("entries", entryCount).U16("tableLen", tableLength);
  c.Data("table", table, tableLength).U16("t0", t0).U16("bits", t1).U16("encoding", t2).U32("len", imageLength);
  c.Data("mask", mask, mask != nullptr ? maskLength : 0).Data("image", image, imageLength);
  if (mask == nullptr && maskLength > 0 && imageLength > 0) c.Breach("a mask length without mask data");
  if (reserved != nullptr) c.Breach("the last argument is not NULL");
  return c.Finish(0);
}

DLLEXPORT int VR_DrawFont(void* h) { return Forbidden("VR_DrawFont", h); }

DLLEXPORT int VR_StartJob(void* h, WORD mode) {
  Call c("VR_StartJob", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("mode", mode);
  if (Session* s = c.session()) {
    if (s->inJob) c.Breach("a job begun inside a job");
    s->inJob = true;
    if (s->resource != nullptr) std::memcpy(&s->printer, s->resource + 8, sizeof(HANDLE));
    s->headerSent = false;
  }
  return c.Finish(0);
}

DLLEXPORT int VR_EndJob(void* h) {
  Call c("VR_EndJob", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  if (Session* s = c.session()) {
    if (!s->inJob) c.Breach("a job ended outside a job");
    if (s->inPage) c.Breach("a job ended inside a page");
    s->inJob = false;
  }
  return c.Finish(0);
}

DLLEXPORT int VR_StartPage(void* h, const BYTE* sizeBlock, const BYTE* resource, const BYTE* pageBlock) {
  Call c("VR_StartPage", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  Session* s = c.session();
  if (s != nullptr) {
    if (!s->inJob) c.Breach("a page begun outside a job");
    if (s->inPage) c.Breach("a page begun inside a page");
    s->inPage = true;
    if (resource != nullptr) std::memcpy(&s->printer, resource + 8, sizeof(HANDLE));
  }
  c.Block("size", sizeBlock, 20, kPageSizeFields, 20);
  c.Block("resource", resource, 552, kResourceFields, 552);
  c.Block("page", pageBlock, 48, kPageFields, 48);
  return c.Finish(0);
}

DLLEXPORT int VR_EndPage(void* h, void* reserved) {
  Call c("VR_EndPage", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  if (Session* s = c.session()) {
    if (!s->inPage) c.Breach("a page ended outside a page");
    s->inPage = false;
  }
  if (reserved != nullptr) c.Breach("the argument is not NULL");
  return c.Finish(0);
}

DLLEXPORT int VR_ShowPage(void* h) {
  Call c("VR_ShowPage", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  if (Session* s = c.session(); s != nullptr && !s->inJob) c.Breach("a page shown outside a job");
  return c.Finish(0);
}

DLLEXPORT int VR_SetPatternResolution(void* h, WORD v) { return OneWord("VR_SetPatternResolution", h, "res", v); }

DLLEXPORT int VR_SetColorParameter(void* h, const BYTE* block) {
  Call c("VR_SetColorParameter", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.Block("color", block, 14392, kColorFields, kColorBlockHeadBytes);
  return c.Finish(0);
}

DLLEXPORT int VR_MovePoint(void* h, float x, float y) { return TwoFloats("VR_MovePoint", h, x, y); }
DLLEXPORT int VR_GetMemSize(void* h) { return Forbidden("VR_GetMemSize", h); }
DLLEXPORT int VR_AddEllipseArcPath(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_AddEllipseArcPath", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_AddEllipseChordPath(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_AddEllipseChordPath", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_AddEllipsePiePath(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_AddEllipsePiePath", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_AddBezierPath(void* h, WORD n, const float* v) { return PointList("VR_AddBezierPath", h, n, v, 6); }
DLLEXPORT int VR_AddRoundRectanglePath(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_AddRoundRectanglePath", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_DrawCircleArc(void* h, float a, float b, float c, float d, float e) {
  return FiveFloats("VR_DrawCircleArc", h, a, b, c, d, e);
}
DLLEXPORT int VR_DrawEllipseArc(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_DrawEllipseArc", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_DrawEllipseChord(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_DrawEllipseChord", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_DrawCirclePie(void* h, float a, float b, float c, float d, float e) {
  return FiveFloats("VR_DrawCirclePie", h, a, b, c, d, e);
}
DLLEXPORT int VR_DrawEllipsePie(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_DrawEllipsePie", h, a, b, c, d, e, f);
}

DLLEXPORT int VR_DrawBezier(void* h, WORD n, float x, float y, const float* v) {
  Call c("VR_DrawBezier", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("n", n).F32("x", x).F32("y", y).Floats("v", v, 6u * n);
  return c.Finish(0);
}

DLLEXPORT int VR_DrawRoundRectangle(void* h, float a, float b, float c, float d, float e, float f) {
  return SixFloats("VR_DrawRoundRectangle", h, a, b, c, d, e, f);
}
DLLEXPORT int VR_SetLogFont(void* h) { return Forbidden("VR_SetLogFont", h); }
DLLEXPORT int VR_DrawCodeFont(void* h) { return Forbidden("VR_DrawCodeFont", h); }

DLLEXPORT int VR_DrawDataFont(void* h, float x, float y, DWORD value, const BYTE* record) {
  Call c("VR_DrawDataFont", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.F32("x", x).F32("y", y).U32("value", value);
  const DWORD length = record != nullptr ? GetLE32(record + 4) : 0;
  if (record == nullptr || length < 8) {
    c.Breach("a font-data record without its 8-byte head");
    return c.Finish(-1, false);
  }
  c.Data("record", record, length);
  return c.Finish(0);
}

namespace {

// The header or trailer block: its text goes into the job as it is.
int JobText(const char* name, void* h, const BYTE* block, bool trailer) {
  Call c(name, h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  if (block == nullptr) {
    c.Breach("no block");
    return c.Finish(-1, false);
  }
  const DWORD size = GetLE32(block), length = GetLE32(block + 4);
  if (size != length + 8) c.Breach("block size " + std::to_string(size) + " is not text length + 8");
  std::string shown;
  for (DWORD i = 0; i < length; ++i) {
    const char ch = static_cast<char>(block[8 + i]);
    shown += ch == 0x1B ? std::string("<ESC>") : ch == '\r' ? std::string("<CR>") : ch == '\n' ? std::string("<LF>") : std::string(1, ch);
  }
  c.U32("size", size).U32("len", length).Text("\"" + shown + "\"");
  Session* s = c.session();
  if (s != nullptr && trailer && !s->headerSent) c.Breach("a trailer without a header");
  if (s != nullptr && !trailer) s->headerSent = true;
  const int result = c.Finish(0, false);
  if (s == nullptr || c.counting()) return result;
  return c.WriteOut(block + 8, length) ? 0 : -1;
}

}  // namespace

DLLEXPORT int VR_SendJobHeader(void* h, const BYTE* block) { return JobText("VR_SendJobHeader", h, block, false); }
DLLEXPORT int VR_SendJobTrailer(void* h, const BYTE* block) { return JobText("VR_SendJobTrailer", h, block, true); }
DLLEXPORT int VR_ErrorFinalize(void* h) { return Forbidden("VR_ErrorFinalize", h); }

DLLEXPORT int VR_SetRasterSmoothingMode(void* h, WORD a, WORD b) {
  Call c("VR_SetRasterSmoothingMode", h);
  if (c.scripted()) return c.Finish(c.scriptedResult(), false);
  c.U16("a", a).U16("b", b);
  return c.Finish(0);
}

// ---- Test control ------------------------------------------------------------------------------

DLLEXPORT void SimDrawReset() {
  Library& lib = Lib();
  std::lock_guard<std::mutex> guard(lib.lock);
  lib.sessions.clear();
  lib.nextId = 1;
  lib.trace.clear();
  lib.breaches = 0;
  lib.stream.clear();
  lib.counts.clear();
  lib.scripts.clear();
  lib.printers.clear();
  lib.countOnly = false;
  lib.streamOnly = false;
}

DLLEXPORT void SimDrawFail(const char* name, DWORD nth, int result) {
  Library& lib = Lib();
  std::lock_guard<std::mutex> guard(lib.lock);
  const DWORD done = lib.counts[name];
  lib.scripts.push_back({name, nth == 0 ? 0 : done + nth, result});
}

DLLEXPORT void SimDrawCountOnly(BOOL on) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  Lib().countOnly = on != FALSE;
}

DLLEXPORT void SimDrawStreamOnly(BOOL on) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  Lib().streamOnly = on != FALSE;
}

DLLEXPORT DWORD SimDrawCallCount(const char* name) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  auto it = Lib().counts.find(name);
  return it == Lib().counts.end() ? 0 : it->second;
}

namespace {

DWORD CopyOut(const void* data, size_t size, void* buffer, DWORD capacity, bool text) {
  if (buffer != nullptr && capacity > 0) {
    const size_t n = text ? std::min<size_t>(size, capacity - 1) : std::min<size_t>(size, capacity);
    std::memcpy(buffer, data, n);
    if (text) static_cast<char*>(buffer)[n] = 0;
  }
  return static_cast<DWORD>(size);
}

}  // namespace

DLLEXPORT DWORD SimDrawTrace(char* buffer, DWORD size) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return CopyOut(Lib().trace.data(), Lib().trace.size(), buffer, size, true);
}

DLLEXPORT DWORD SimDrawBreachCount() {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return Lib().breaches;
}

DLLEXPORT DWORD SimDrawStream(BYTE* buffer, DWORD size) {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return CopyOut(Lib().stream.data(), Lib().stream.size(), buffer, size, false);
}

DLLEXPORT DWORD SimDrawLiveSessions() {
  std::lock_guard<std::mutex> guard(Lib().lock);
  return static_cast<DWORD>(Lib().sessions.size());
}
