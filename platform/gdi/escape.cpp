// The answer of escapes on device contexts without a driver, and its test responder.
#include "platform/gdi/escape.h"

#include <mutex>
#include <utility>

#include "platform/base/errors.h"
#include "platform/gdi/gdi_table.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"

namespace {

std::mutex responderLock;
SimEscapeResponder& Responder() {
  static SimEscapeResponder responder;
  return responder;
}

void ResetResponder() {
  std::lock_guard guard(responderLock);
  Responder() = nullptr;
}
const bool registeredReset = (SimAddResetHook(&ResetResponder), true);

}  // namespace

void SimSetEscapeResponder(SimEscapeResponder responder) {
  std::lock_guard guard(responderLock);
  Responder() = std::move(responder);
}

int gdi::AnswerEscapeWithoutDriver(HDC dc, int escape, int inputSize, LPCSTR input, int outputSize, LPSTR output) {
  {
    std::lock_guard guard(gdi::Lock());
    if (gdi::Find<gdi::Dc>(dc) == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return -1;
    }
  }
  if (inputSize < 0 || outputSize < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  SimEscapeResponder responder;
  {
    std::lock_guard guard(responderLock);
    responder = Responder();
  }
  if (!responder) return 0;
  // The responder runs without the GDI lock: it may draw into the same DC.
  const BYTE* in = input != nullptr ? reinterpret_cast<const BYTE*>(input) : nullptr;
  BYTE* out = output != nullptr ? reinterpret_cast<BYTE*>(output) : nullptr;
  return responder(dc, escape, std::span<const BYTE>(in, in != nullptr ? static_cast<size_t>(inputSize) : 0),
                   std::span<BYTE>(out, out != nullptr ? static_cast<size_t>(outputSize) : 0));
}
