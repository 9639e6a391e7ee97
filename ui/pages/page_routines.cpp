// Shared page routines (see page_routines.h).
#include "ui/pages/page_routines.h"

#include "platform/comctl/propsheet.h"
#include "platform/user/message.h"
#include "ui/framework/dialog/message_dispatch.h"

namespace {
constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
}  // namespace

const DWORD kSharedPageItems[kSharedPageItemCount] = {
    BoundItem(8, kBoth),    BoundItem(262, kBoth),  BoundItem(294, kBoth),  BoundItem(7, kBoth),
    BoundItem(18, kBoth),   BoundItem(16, kBoth),   BoundItem(270, kBoth),  BoundItem(1313, kBoth),
    BoundItem(295, kBoth),  BoundItem(264, kBoth),  BoundItem(321, kBoth),  BoundItem(296, kBoth),
    BoundItem(1285, kBoth), BoundItem(297, kBoth),  BoundItem(322, kBoth),  BoundItem(446, kBoth),
    BoundItem(320, kBoth),  BoundItem(341, kBoth),  BoundItem(342, kBoth),  BoundItem(343, kBoth),
    BoundItem(327, kBoth),  BoundItem(328, kBoth),  BoundItem(437, kBoth),  BoundItem(441, kBoth),
    BoundItem(5154, kBoth), BoundItem(445, kBoth),  BoundItem(1328, kBoth), BoundItem(332, kBoth),
    BoundItem(458, kBoth),  BoundItem(339, kBoth),  BoundItem(1330, kBoth), BoundItem(448, kBoth),
    BoundItem(449, kBoth),  BoundItem(450, kBoth),  BoundItem(1296, kBoth), BoundItem(1297, kBoth),
    BoundItem(1298, kBoth), BoundItem(1299, kBoth), BoundItem(1300, kBoth), BoundItem(1301, kBoth),
};

bool IsPageRefresh(UINT message, LPARAM lParam) {
  return message == WM_REFRESHCONTROLS || IsNotice(message, lParam, PSN_SETACTIVE);
}
