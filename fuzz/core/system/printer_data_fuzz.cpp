// Printer data comes from the spooler, where other drivers, older releases or damage may
// have left anything: the chunked reader and the font substitution table check must refuse
// what does not fit and never read or write past a block, whatever the stored values.
//
// Input: the size value {u8 type, u32 value}, then pieces {u8 type, u16 length, bytes} stored
// as "X1", "X2", ... in order.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/fonts/font_sub_table.h"
#include "core/system/chunked_printer_data.h"
#include "platform/base/types.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"

namespace {

constexpr const WCHAR* kPrinter = u"Fuzz";

std::u16string PieceName(const char16_t* base, unsigned piece) {
  std::u16string name = base;
  for (char c : std::to_string(piece)) name += static_cast<char16_t>(c);
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5 || size > 200000) return 0;
  SimReset();
  SimPrinterSetup setup;
  setup.name = kPrinter;
  SimAddPrinter(setup);
  // The same bytes under the font table's names and under a plain name.
  for (const char16_t* base : {u"X", u"FontSubTable"}) {
    std::vector<BYTE> sizeValue(data + 1, data + 5);
    SimSeedPrinterData(kPrinter, nullptr, (std::u16string(base) + u"Size").c_str(), data[0], sizeValue);
    std::size_t at = 5;
    for (unsigned piece = 1; at + 3 <= size && piece <= 101; ++piece) {
      BYTE type = data[at];
      std::size_t length = data[at + 1] | (data[at + 2] << 8);
      at += 3;
      if (length > size - at) length = size - at;
      SimSeedPrinterData(kPrinter, nullptr, PieceName(base, piece).c_str(), type, {data + at, length});
      at += length;
    }
  }
  HANDLE printer = nullptr;
  if (!OpenPrinterW(kPrinter, &printer, nullptr)) return 0;

  DWORD read = 0;
  BYTE* block = nullptr;
  if (ReadChunkedPrinterData(printer, u"X", &read, &block, FALSE)) {
    if (read == 0 || read > kChunkMaxBytes) __builtin_trap();
    GlobalFree(block);
  }
  std::vector<BYTE> mine(1000, 0x5A);
  block = mine.data();
  read = static_cast<DWORD>(mine.size());
  if (ReadChunkedPrinterData(printer, u"X", &read, &block, TRUE) && (read > mine.size() || block != mine.data()))
    __builtin_trap();
  if (LPWSTR table = ReadStoredFontSubTable(printer)) {
    if (GetFontSubTableSize(table) == 0) __builtin_trap();
    GlobalFree(table);
  }
  ClosePrinter(printer);
  return 0;
}
