// The resource container: the binary format of resource files (".qrs", loaded as data
// modules) and of the resource block each of our modules carries. Layout (little-endian,
// read and written field by field; tools/qrc/README.md describes it for writers):
//
//   header, 16 bytes:  "QRS1"  u32 entry count  u32 file size  u32 reserved (0)
//   entries, 16 bytes each:  u32 type  u32 name  u32 data offset  u32 data size
//   type and name: bit 31 clear = a number (at most 0xFFFF); bit 31 set = the offset (bits
//   0-30) of a UTF-16LE name ending in a 0 character, somewhere after the entry table.
//   data offsets are multiples of 4; every offset and size lies inside the file.
//
// The platform's standard resource types keep their numbers and data layouts (string
// blocks of 16 counted strings, packed DIBs, icon directories, menu and dialog templates).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_GROUP_CURSOR MAKEINTRESOURCEW(12)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)
#define RT_VERSION MAKEINTRESOURCEW(16)

inline constexpr BYTE kQrsMagic[4] = {'Q', 'R', 'S', '1'};
inline constexpr DWORD kQrsHeaderSize = 16;
inline constexpr DWORD kQrsEntrySize = 16;
inline constexpr DWORD kQrsNameFlag = 0x80000000u;
inline constexpr DWORD kQrsDataAlign = 4;
// Strings are kept the platform's way: string id N lives in block (N / 16) + 1 at slot N % 16.
inline constexpr WORD kQrsStringsPerBlock = 16;

// A resource type or name: a number, or a text (compared without regard to ASCII case).
struct QrsName {
  WORD id = 0;
  std::u16string text;  // empty: the name is the number `id`
  bool IsNumber() const { return text.empty(); }
};

struct QrsEntry {
  QrsName type;
  QrsName name;
  DWORD offset = 0;
  DWORD size = 0;
};

// Checks every count, offset, size and name of a container against its bytes and lists
// its entries. ERROR_BAD_FORMAT when the bytes are not a container (magic, header, file
// size), ERROR_INVALID_DATA when an entry points outside the bytes or a name is unterminated
// or duplicated; the entries are left empty on failure. The entries come sorted in the
// platform's directory order (named types/names first, then numbers), the order in which
// they are enumerated.
PLATFORM_API DWORD QrsParse(std::span<const BYTE> bytes, std::vector<QrsEntry>& entries);

// True when `bytes` begin with the container's magic.
PLATFORM_API bool QrsHasMagic(std::span<const BYTE> bytes);

// Turns a resource type or name argument (MAKEINTRESOURCEW number, "#123" or a text) into
// a QrsName; FALSE for a NULL or empty text.
PLATFORM_API bool QrsNameFromArg(LPCWSTR arg, QrsName& out);

PLATFORM_API bool QrsNameEquals(const QrsName& a, const QrsName& b);

// The entry of (type, name) in entries sorted by QrsParse, or nullptr.
PLATFORM_API const QrsEntry* QrsFind(const std::vector<QrsEntry>& entries, const QrsName& type, const QrsName& name);

// Reads string `id` out of a parsed container: a view of its characters (not terminated),
// or false when absent or when the string block is malformed.
PLATFORM_API bool QrsFindString(std::span<const BYTE> bytes, const std::vector<QrsEntry>& entries, UINT id,
                                std::span<const WCHAR>& text);
