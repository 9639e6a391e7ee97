#include "core/job/fax_job_lines.h"

#include <cstdio>
#include <cstring>

#include "core/job/header_output.h"
#include "core/job/job_attributes.h"
#include "core/job/job_header_status.h"
#include "items/codepage.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "platform/kernel/memory.h"

namespace {

// Fields 0 to 3 together stay below this many bytes, fields 5 and 6 below the second.
constexpr size_t kDialFieldsLimit = 129;
constexpr size_t kCommentFieldsLimit = 47;
constexpr size_t kDigitListMax = 80;
constexpr WORD kNameOnlyEntry = 1;

// A wide text of at most n characters in the ANSI code page; false when it cannot be converted.
bool ToAnsi(const WCHAR* text, int n, std::string* out) {
  out->clear();
  if (n <= 0) return true;
  std::u16string bounded(text, static_cast<size_t>(n));
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(bounded.c_str(), &ansi, &length, 0)) return false;
  out->assign(ansi, static_cast<size_t>(length));
  GlobalFree(ansi);
  return true;
}

template <size_t N>
bool FieldAnsi(const WCHAR (&field)[N], std::string* out) {
  return ToAnsi(field, FaxFieldLength(field), out);
}

// The field's text, protected first when the line is encoded.
template <size_t N>
bool ProtectedFieldAnsi(const WCHAR (&field)[N], bool encoded, std::string* out) {
  const int n = FaxFieldLength(field);
  if (!encoded || n == 0) return ToAnsi(field, n, out);
  std::u16string bounded(field, static_cast<size_t>(n));
  LPWSTR protectedText = nullptr;
  if (!ConvertEncodedText(kConvertEncode, bounded.c_str(), &protectedText)) return false;
  const bool ok = ToAnsi(protectedText, static_cast<int>(std::char_traits<char16_t>::length(protectedText)), out);
  GlobalFree(protectedText);
  return ok;
}

std::string Number(const char* format, int a, int b = 0, int c = 0) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

enum class FieldsResult { kBuilt, kRefused, kTooLong };

// The fields of one line in writing order: field 0 unbraced, then the braced fields.
FieldsResult BuildFaxFields(int mode, const FaxDestination& entry, const FaxDialData& dial, std::string* fields) {
  const bool encoded = mode == kFaxLineEncoded;
  std::string text;
  if (entry.kind == kNameOnlyEntry) {
    if (!FieldAnsi(entry.number, &text)) return FieldsResult::kRefused;
    *fields = "'" + text + "'";
    return fields->size() < kDialFieldsLimit ? FieldsResult::kBuilt : FieldsResult::kTooLong;
  }
  const WCHAR(*prefix)[6] = nullptr;
  WORD prefixOn = dial.noPrefixOn;
  if (entry.dialKind == 2) {
    prefix = &dial.secondPrefix;
    prefixOn = dial.secondPrefixOn;
  } else if (entry.dialKind == 1) {
    prefix = &dial.firstPrefix;
    prefixOn = dial.firstPrefixOn;
  }
  std::string field0;
  if (prefix != nullptr && !FieldAnsi(*prefix, &field0)) return FieldsResult::kRefused;
  if (!FieldAnsi(entry.number, &text)) return FieldsResult::kRefused;
  field0 += text;
  *fields = field0;
  size_t dialBytes = field0.size();
  size_t commentBytes = 0;
  auto add = [&](const std::string& field, size_t* counted) {
    *fields += "{" + field + "}";
    *counted += field.size();
  };
  if (entry.optionMode == 2) {
    std::string list, digits;
    if (!FieldAnsi(entry.numberList, &list) || !FormatDigitList(list, &digits)) return FieldsResult::kRefused;
    add(Number("%d%04d%d", 1, entry.optionCode, entry.optionFlag == 1 ? 1 : 0) + digits, &dialBytes);
  } else if (entry.optionMode == 1) {
    if (!ProtectedFieldAnsi(entry.optionText, encoded, &text)) return FieldsResult::kRefused;
    add(Number("%d%04d", 4, entry.optionNumber) + text, &dialBytes);
  }
  add(Number("%d%d", 2, prefixOn != 0 ? 1 : 0), &dialBytes);
  if (entry.resolution > 2) return FieldsResult::kRefused;
  add(Number("%d%d", 3, entry.resolution * 2), &dialBytes);
  if (FaxFieldLength(entry.firstComment) > 0) {
    if (!FieldAnsi(entry.firstComment, &text)) return FieldsResult::kRefused;
    add("5" + text, &commentBytes);
  }
  if (FaxFieldLength(entry.secondComment) > 0) {
    if (!ProtectedFieldAnsi(entry.secondComment, encoded, &text)) return FieldsResult::kRefused;
    add("6" + text, &commentBytes);
  }
  return dialBytes < kDialFieldsLimit && commentBytes < kCommentFieldsLimit ? FieldsResult::kBuilt
                                                                             : FieldsResult::kTooLong;
}

// Reads the dial prefixes and their switches from the job's settings; false when one cannot
// be read.
bool ReadFaxDialData(JobHeaderBuild* build, FaxDialData* dial) {
  DWORD second = 0, first = 0, none = 0;
  LPCWSTR secondPrefix = nullptr, firstPrefix = nullptr;
  if (ReadItemText(kItemFaxSecondPrefix, build, &secondPrefix) < 0 ||
      ReadItemText(kItemFaxFirstPrefix, build, &firstPrefix) < 0 ||
      ReadItemAs(kItemFaxSecondPrefixOn, build, &second) < 0 || ReadItemAs(kItemFaxFirstPrefixOn, build, &first) < 0 ||
      ReadItemAs(kItemFaxNoPrefixOn, build, &none) < 0)
    return false;
  *dial = {};
  for (int i = 0; i < 5 && secondPrefix[i] != 0; ++i) dial->secondPrefix[i] = secondPrefix[i];
  for (int i = 0; i < 5 && firstPrefix[i] != 0; ++i) dial->firstPrefix[i] = firstPrefix[i];
  dial->secondPrefixOn = static_cast<WORD>(second);
  dial->firstPrefixOn = static_cast<WORD>(first);
  dial->noPrefixOn = static_cast<WORD>(none);
  return true;
}

}  // namespace

bool FormatDigitList(const std::string& list, std::string* out) {
  out->clear();
  std::string piece;
  // Each piece ends at a comma or at the end of the text; only the last may be empty.
  for (size_t i = 0; i <= list.size(); ++i) {
    const bool end = i == list.size();
    if (!end && list[i] != ',') {
      if (list[i] < '0' || list[i] > '9' || piece.size() == 2) return false;
      piece += list[i];
      continue;
    }
    if (piece.empty()) {
      if (end) break;
      return false;
    }
    out->append(4 - piece.size(), '0');
    *out += piece;
    piece.clear();
  }
  return out->size() <= kDigitListMax;
}

int BuildFaxJobAttributes(int mode, const FaxDestination* entry, const FaxDialData* dial, DWORD capacity,
                          BOOL jobAttr, LPSTR output, int* length) {
  if (length == nullptr) return 0;
  *length = 0;
  if (entry == nullptr || dial == nullptr) return 0;
  std::string fields;
  switch (BuildFaxFields(mode, *entry, *dial, &fields)) {
    case FieldsResult::kRefused:
      return 0;
    case FieldsResult::kTooLong:
      *length = -1;
      return 0;
    case FieldsResult::kBuilt:
      break;
  }
  std::string line = jobAttr ? "@PJL SET JOBATTR=\"" : "";
  line += mode == kFaxLineEncoded ? "@FAEN=" : "@FANU=";
  line += fields;
  if (jobAttr) line += "\"";
  line += "\r\n";
  if (output == nullptr) {
    *length = static_cast<int>(line.size());
    return 1;
  }
  if (line.size() > capacity) return 0;
  std::memcpy(output, line.data(), line.size());
  *length = static_cast<int>(line.size());
  return 1;
}

int WriteFaxJobLines(JobHeaderBuild* build) {
  const FaxSelection* selection = build->context->faxSelection;
  if (selection == nullptr) return 0;
  DWORD count = 0;
  if (ReadItemAs(kItemFaxDestinations, build, &count) < 0) return kJobValueRuleFailed;
  if (selection->last < selection->first || selection->last >= count) return 0;
  FaxDialData dial{};
  if (!ReadFaxDialData(build, &dial)) return kJobValueRuleFailed;
  FaxListHeader header;
  if (!GetFaxListHeader(selection->blob, selection->blobSize, &header)) return kJobValueRuleFailed;
  if (header.count != count) return 0;
  const int mode = HasFeature(build, kFeatureEncodedFax) ? kFaxLineEncoded : kFaxLinePlain;
  const BOOL jobAttr = HasFeature(build, kFeatureJobAttrMode);
  int total = 0;
  for (DWORD i = selection->first; i <= selection->last; ++i) {
    FaxDestination entry;
    char line[kFaxLineBufferSize];
    int length = 0;
    if (!GetFaxDestination(selection->blob, selection->blobSize, i, &entry) ||
        !BuildFaxJobAttributes(mode, &entry, &dial, sizeof line, jobAttr, line, &length) ||
        AppendBytes(line, static_cast<DWORD>(length), build->output) < 0)
      return kJobValueRuleFailed;
    total += length;
  }
  return total;
}
