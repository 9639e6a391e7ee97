// The layer's own window classes: registered once, before the first window is made.
#include <mutex>

#include "platform/user/window_class.h"
#include "platform/user/window_internal.h"

void UserRegisterSystemClasses() {
  static std::once_flag once;
  std::call_once(once, [] {});
}
