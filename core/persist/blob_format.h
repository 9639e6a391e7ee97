// Byte formats of the settings blobs kept beside a device mode: the extension blob "NDEV001"
// (the SettingsExtension, optionally followed by a fax destination record), the "TMBINFO"
// blob, and the fax destination record "DFAX001". All integers little-endian; every tag is a
// zero-terminated wide string in a 16-byte field. The parsers take the bytes really present
// and read nothing beyond them.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

inline constexpr DWORD kBlobTagSize = 16;
inline constexpr DWORD kExtensionBlobHeaderSize = 24;  // tag, version, length
inline constexpr DWORD kTmbInfoBlobHeaderSize = 20;    // tag, length
// The extension layout this release writes and the newest it accepts (item 1793, the
// extension's first word).
inline constexpr DWORD kExtensionBlobVersion = 0x5040;
inline constexpr DWORD kExtensionVersionOffset = 0;
// Fax destination record: tag, u16 count at 16, then headers, 1442 bytes in all, then
// 742 bytes per destination.
inline constexpr DWORD kFaxRecordHeaderSize = 1442;
inline constexpr DWORD kFaxDestinationSize = 742;
inline constexpr DWORD kFaxRecordCountOffset = 16;

inline constexpr WCHAR kExtensionBlobTag[] = u"NDEV001";
inline constexpr WCHAR kTmbInfoBlobTag[] = u"TMBINFO";
inline constexpr WCHAR kFaxRecordTag[] = u"DFAX001";

// Writes the 24-byte header of an extension blob of this release (3816 bytes follow).
void WriteExtensionBlobHeader(BYTE* out);
// Writes the 20-byte header of a TMBINFO blob of `length` bytes.
void WriteTmbInfoBlobHeader(BYTE* out, DWORD length);

// The stored version and length of the extension blob at data[cursor]; FALSE when fewer than
// 24 bytes remain or the tag is not "NDEV001".
BOOL PeekExtensionBlobHeader(const BYTE* data, DWORD size, DWORD cursor, DWORD* version, DWORD* length);
// Whether the extension blob at data[cursor] holds less than a whole extension of this release
// and so is laid over the model's defaults.
BOOL ExtensionBlobNeedsDefaults(const BYTE* data, DWORD size, DWORD cursor);

// Unpacks the extension blob at data[*cursor] into the caller's 3816-byte extension and moves
// the cursor past it: 1, or 0 with nothing changed. Refused: a short header, another tag, a
// version newer than this release, a length beyond the bytes present. A blob that does not
// hold a whole extension of this release (an older version, or fewer than 3816 bytes) is laid
// over `defaults` (the model's default extension), and refused when none is given. At most
// 3816 bytes are copied; a longer stored extension is cut and the cursor still passes all of
// it. The result carries this release's version word.
int ParseExtensionBlob(const BYTE* data, DWORD size, DWORD* cursor, BYTE* extension, const BYTE* defaults);

// Unpacks a TMBINFO blob: 1 with *block a new global copy of its data (NULL when its length
// is 0) and *length; 0 with nothing handed out.
int ParseTmbInfoBlob(const BYTE* data, DWORD size, DWORD* cursor, BYTE** block, DWORD* length);

// Size a fax destination record of `count` destinations fills.
constexpr DWORD GetFaxRecordSize(DWORD count) { return kFaxRecordHeaderSize + kFaxDestinationSize * count; }

// Checks the fax destination record that fills data[cursor..size) exactly and hands out a new
// global copy: 1, or 0 with *record NULL.
int ParseFaxSendListBlob(const BYTE* data, DWORD size, DWORD cursor, BYTE** record, DWORD* recordSize);
