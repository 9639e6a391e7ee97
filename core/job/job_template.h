// The walk of the job template: which entries a header writes. Each entry's conditions are
// evaluated against the job's settings; of consecutive entries that set the same attribute
// only the first whose conditions hold is written.
#pragma once

#include <string>

#include "core/database/dbrecords.h"
#include "core/job/job_attributes.h"
#include "platform/base/types.h"

// Merge keys longer than this are not kept.
inline constexpr size_t kJobMergeKeyMax = 127;
inline constexpr WCHAR kJobAttrKey[] = u"@PJL SET JOBATTR=";

// Connectors between the conditions of an entry.
inline constexpr BYTE kJobConnectorOr = 2;
inline constexpr BYTE kJobConnectorEnd = 3;
inline constexpr BYTE kJobConnectorEndAlt = 4;

struct JobHeaderState {
  bool written;  // the entry last evaluated was written (or marked as written)
  std::u16string lastKey;
  std::u16string lastValueKey;
  bool skipUnmarked;  // only entries whose flag word has bit 0x1 are written
};

// 1 when the entry is skipped (it repeats the attribute just written, or it is marked because
// the settings ask for flagged entries only), 0 when it is evaluated.
int IsDuplicateJobEntry(const JobTemplate* entry, JobHeaderBuild* build, JobHeaderState* state);
// The number of conditions that held (> 0: write), 0 (skip) or a negative code. Stores the
// entry's merge key and whether it is written.
int EvaluateJobEntry(const JobTemplate* entry, JobHeaderBuild* build, JobHeaderState* state);
// 1 true, 0 false, or a negative code.
int EvaluateJobCondition(const ConditionElement* condition, JobHeaderBuild* build);
