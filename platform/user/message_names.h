// Readable names of messages and of WM_NOTIFY's notice codes, for the reports of the message
// log (user_sim.h). The system's and the standard controls' messages are named here; messages
// from WM_USER up are named per receiving class, and notice codes per control family, by the
// services that define them.
#pragma once

#include <span>
#include <string>

#include "platform/base/types.h"

struct MessageName {
  UINT value;
  const char* name;
};

// Names the messages a class understands (tables live as long as the process).
void UserAddMessageNames(const std::u16string& className, std::span<const MessageName> names);
// Names notice codes of WM_NOTIFY.
void UserAddNoticeNames(std::span<const MessageName> names);
// "WM_INITDIALOG", a class's own message ("PSM_CHANGED" to a dialog), else "WM_USER+5",
// "WM_APP+1" or "message 0x0093".
std::string UserMessageName(const std::u16string& className, UINT msg);
// "PSN_APPLY", else "notice -1234".
std::string UserNoticeName(UINT code);
