// Which numbered resource of which module an icon or bitmap was loaded from, so that the test
// API can say which pictures a window shows (SimDrawnPictures, SimIconResourceId).
#pragma once

#include "platform/base/types.h"

// Notes that `picture` was loaded from the resource `name` of `module` (nothing for a name
// that is not a number).
void UserNotePictureResource(HGDIOBJ picture, HMODULE module, LPCWSTR name);
// A copy of a picture (an image list's icon) came from the same resource.
void UserCopyPictureResource(HGDIOBJ from, HGDIOBJ to);
// The resource a picture was loaded from; FALSE for one made otherwise.
bool UserPictureResource(HGDIOBJ picture, HMODULE& module, WORD& id);
