// Answers of the colour engine's profile builders.
#pragma once

enum IccStatus : int {
  kIccOk = 0,
  kIccNoObject = -1,        // no profile object; for the built-in profile: unknown white point or tone
  kIccCannotOpen = -2,      // the profile file cannot be opened
  kIccReadFailed = -3,      // a read or seek failed, or the file ends before what it announces
  kIccCloseFailed = -4,     // closing the file failed after a successful load
  kIccNoSignature = -5,     // no 'acsp' signature
  kIccWrongClass = -6,      // not an RGB profile, or a profile class that does not fit
  kIccMissingTags = -7,     // unknown connection space, or the tags a model needs are missing or unusable
  kIccNoMemory = -8,
};
