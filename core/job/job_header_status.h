// Results of the job header writer: a non-negative byte count, or one of these codes. Any code
// ends the build and the caller drops the header (the job prints without one).
#pragma once

inline constexpr int kJobHeaderRecordFailed = -110;      // a template record could not be read or freed
inline constexpr int kJobEntryWithoutKey = -120;
inline constexpr int kJobLiteralWithoutValue = -130;
inline constexpr int kJobHeaderSizeMissing = -140;       // the size sections are missing or absurd
inline constexpr int kJobConditionBadOperator = -160;
inline constexpr int kJobConditionBadType = -170;
inline constexpr int kJobConditionOperatorRefused = -175; // ordering operator on a flag or a text
inline constexpr int kJobItemUnreadable = -210;
inline constexpr int kJobItemNotPrintable = -220;
inline constexpr int kJobItemBadSize = -230;
inline constexpr int kJobKeyTooLong = -310;              // a composed key does not fit its buffer
inline constexpr int kJobHeaderFull = -320;              // the header does not fit its buffer
inline constexpr int kJobTextConversionFailed = -340;
inline constexpr int kJobItemUnknown = -410;
inline constexpr int kJobConditionTypeDiffers = -420;
inline constexpr int kJobAttrLiteralWithoutName = -440;
inline constexpr int kJobLibraryFailed = -510;
inline constexpr int kJobValueRuleFailed = -610;
inline constexpr int kJobDocumentNameModeBad = -620;
