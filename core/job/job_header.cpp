#include "core/job/job_header.h"

#include <cstdio>
#include <string>

#include "core/database/dbrecords.h"
#include "core/database/model_features.h"
#include "core/descriptors/item_descriptors.h"
#include "core/job/fax_job_lines.h"
#include "core/job/job_attr_library.h"
#include "core/job/job_attributes.h"
#include "core/job/job_header_status.h"
#include "core/job/job_template.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/text.h"

namespace {

constexpr WORD kJobTemplateType = 15;

// The composed key of a JOBATTR item entry (key, quote, value text) holds at most this many
// characters.
constexpr size_t kComposedKeyMax = 135;
// Blanks that reserve the "@BKTP=" attribute until its value is known.
constexpr DWORD kBktpReserveJobAttr = 38;
constexpr DWORD kBktpReservePlain = 20;

// Section sizes of the estimate.
constexpr DWORD kBaseSizeSection = 2;
constexpr DWORD kFaxCountSection = 24;
constexpr DWORD kFaxLineSection = 25;
// "DATE=", "TIME=", three "@PJL COMMENT ", "DNAME=" and the graphics module's comment lines.
constexpr LONGLONG kEstimateTail = 5 + 5 + 3 * 13 + 6 + 663;

int Add(int total, int r) { return r < 0 ? r : total + r; }

int WriteBktpAttribute(JobHeaderBuild* build) {
  const WORD v = build->context->bktpValue;
  const bool jobAttr = HasFeature(build, kFeatureJobAttrMode);
  char text[64];
  if (v == 0) {
    const DWORD n = jobAttr ? kBktpReserveJobAttr : kBktpReservePlain;
    std::snprintf(text, sizeof text, "%*s", static_cast<int>(n), "");
  } else if (jobAttr) {
    std::snprintf(text, sizeof text, "@PJL SET JOBATTR=\"@BKTP=%u\"", static_cast<unsigned>(v));
  } else {
    std::snprintf(text, sizeof text, "@BKTP=%u", static_cast<unsigned>(v));
  }
  return AppendAnsi(text, build->output);
}

// An extension entry (its key begins with "%"): the "@BKTP=" attribute, the job-attribute
// library's lines and, for a fax model, the fax lines; the key itself is never written.
int WriteExtensionEntry(JobHeaderBuild* build) {
  int total = 0;
  DWORD booklet = 0, output = 0, bktp = 0;
  if (int r = ReadItemAs(kItemPageLayout, build, &booklet); r < 0) return r;
  if (int r = ReadItemAs(kItemBookletOutput, build, &output); r < 0) return r;
  if (int r = ReadItemAs(kItemBookletHeaderSwitch, build, &bktp); r < 0) return r;
  if (booklet == 2 && HasFeature(build, kFeatureBktp) && output == 1 && bktp == 1) {
    const DWORD at = build->output->length;
    total = Add(total, WriteBktpAttribute(build));
    total = total < 0 ? total : Add(total, WriteLineSeparator(build->output));
    if (total < 0) return total;
    build->context->bktpOffset = build->context->bktpValue == 0 ? at : 0;
  }
  if (build->context->useAttributeLibrary != 0) {
    total = Add(total, WriteLibraryAttributes(build));
    if (total < 0) return total;
  }
  if (build->modelKind == 2 && build->context->faxSelection != nullptr) total = Add(total, WriteFaxJobLines(build));
  return total;
}

bool IsStringItem(SettingItemId id, JobHeaderBuild* build) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  return GetItemValue(id, build->context->settings, build->context->config, &type, &length, &cell) == kItemDone &&
         type == kTypeString;
}

// One entry's line without its separator; bytes written, 0 or a code.
int WriteJobEntry(const JobTemplate* entry, JobHeaderBuild* build) {
  if (entry->key == nullptr || *entry->key == 0) return kJobEntryWithoutKey;
  if (entry->item == 0) {
    if (entry->value == nullptr) return kJobLiteralWithoutValue;
    return AppendKeyValue(entry->key, entry->value, build->output);
  }
  if (!HasFeature(build, kFeatureJobAttrMode)) return WriteItemAttr(entry->key, entry->item, build);
  const bool quoted = entry->value != nullptr || IsStringItem(entry->item, build);
  if (!quoted) return WriteItemAttr(entry->key, entry->item, build);
  std::u16string key = std::u16string(entry->key) + u"\"";
  if (entry->value != nullptr) key += entry->value;
  if (key.size() > kComposedKeyMax) return kJobKeyTooLong;
  const int written = WriteItemAttr(key.c_str(), entry->item, build);
  if (written <= 0) return written;
  return Add(written, AppendAnsi("\"", build->output));
}

// Evaluates and writes one template entry; bytes written or a code.
int WriteTemplateEntry(const JobTemplate* entry, JobHeaderBuild* build, JobHeaderState* state) {
  if (IsDuplicateJobEntry(entry, build, state)) return 0;
  const int matched = EvaluateJobEntry(entry, build, state);
  if (matched <= 0) return matched;
  if (entry->key != nullptr && entry->key[0] == u'%') return WriteExtensionEntry(build);
  const int written = WriteJobEntry(entry, build);
  if (written <= 0) return written;
  return Add(written, WriteLineSeparator(build->output));
}

int WalkJobTemplate(JobHeaderBuild* build, JobHeaderState* state) {
  for (WORD position = 1;; ++position) {
    DatabaseRecord* record = nullptr;
    const WORD read = ReadRecord(TRUE, build->main, build->linked, kJobTemplateType, position, &record);
    if (read == kDbAbsent) return 0;
    if (read != kDbOk || record == nullptr) {
      FreeRecord(&record, kDbAnyType);
      return kJobHeaderRecordFailed;
    }
    const int r = WriteTemplateEntry(reinterpret_cast<const JobTemplate*>(record), build, state);
    if (FreeRecord(&record, kJobTemplateType) != kDbOk) return kJobHeaderRecordFailed;
    if (r < 0) return r;
    if (position == 0xFFFF) return 0;
  }
}

int ReadModelKind(DatabaseStream* main, DatabaseStream* linked) {
  ItemStore store{main, linked, nullptr};
  return GetModelKind(&store);
}

}  // namespace

int BuildJobHeader(DatabaseStream* main, DatabaseStream* linked, JobHeaderContext* context, LPSTR buffer,
                   DWORD capacity) {
  if (main == nullptr || context == nullptr || buffer == nullptr) return kJobHeaderRecordFailed;
  DWORD words[2] = {};
  GetModelFeatureFlags(main, words);
  HeaderOutput output{buffer, capacity, 0};
  JobHeaderBuild build{main, linked, context, words[0], ReadModelKind(main, linked), nullptr, &output};
  JobHeaderState state{};
  context->bktpOffset = 0;
  DWORD markedOnly = 0;
  int result = ReadItemAs(kItemSaveToFile, &build, &markedOnly);
  state.skipUnmarked = markedOnly == 1;
  if (result == 0) result = WriteUel(&output) < 0 ? kJobHeaderFull : 0;
  if (result == 0) result = WalkJobTemplate(&build, &state);
  ReleaseJobAttributeLibrary(&build);
  return result < 0 ? result : static_cast<int>(output.length);
}

int EstimateFaxAttributeSize(DatabaseStream* main, BOOL jobAttrMode) {
  const DWORD count = ReadSectionValue(main, kFaxCountSection, 2, 0);
  const DWORD line = ReadSectionValue(main, kFaxLineSection, 2, 0);
  if (count == 0 || line == 0) return kJobHeaderSizeMissing;
  // Each destination's line is wrapped: the bound holds the wrapping once per line.
  return static_cast<int>(count * (line + (jobAttrMode ? 40 : 21)));
}

int EstimateJobHeaderSize(DatabaseStream* main, DatabaseStream* linked) {
  const LONG base = static_cast<LONG>(ReadSectionValue(main, kBaseSizeSection, 4, 0));
  if (base <= 0) return kJobHeaderSizeMissing;
  DWORD words[2] = {};
  GetModelFeatureFlags(main, words);
  const DWORD f = words[0];
  const bool jobAttr = (f & kFeatureJobAttrMode) != 0;
  const auto pick = [&](LONGLONG plain, LONGLONG attr) { return jobAttr ? attr : plain; };
  LONGLONG size = base + 9;
  if (jobAttr) size += 20;
  size += (f & kFeatureBktp) == 0 ? 84 : pick(107, 125);
  if (f & kFeatureNupAttribute) size += pick(18, 37);
  if (f & kFeatureHostAddress) size += pick(28, 47);
  if (f & kFeatureHostName) size += pick(47, 66);
  size += pick(47, 66);
  size += 178;
  if (ReadModelKind(main, linked) == 2) {
    const int fax = EstimateFaxAttributeSize(main, jobAttr);
    if (fax < 0) return fax;
    size += fax;
  }
  size += kEstimateTail;
  return size > 0x7FFFFFFF ? kJobHeaderSizeMissing : static_cast<int>(size);
}
