// Push-button actions (see the header: only help is carried out here).
#include "ui/shell/dialog/button_actions.h"

#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/user/message.h"
#include "ui/shell/dialog/message_dispatch.h"

INT_PTR DoButtonAction(HandlerContext* context, WPARAM, LPARAM, const ControlRow* row, const ButtonAction* action) {
  if (context == nullptr || row == nullptr || action == nullptr) return 1;
  if (action->type != kButtonHelp) return 1;
  context->actionType = action->type;
  NMHDR header{context->window, 0, PSN_HELP};
  ShowContextHelp(context->window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), context->pageIndex);
  context->actionType = 0;
  return 0;
}
