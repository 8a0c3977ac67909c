#include "dockkit/themes/DkThemedWindow.h"

#include "dockkit/common/DkMessages.h"

#include "platform/gui/KitMessage.h"

namespace dk {

bool AnswerThemeMessage(ThemedWindow& window, QEvent* event) {
    plat::KitMessageEvent* message = plat::KitMessageEvent::From(event);
    if (message == nullptr) {
        return false;
    }
    switch (message->Msg()) {
    case kThemeChangingMessage:
        window.ThemeChanging();
        return true;
    case kThemeChangedMessage:
        window.ThemeChanged();
        return true;
    case kViewKindMessage:
        message->Result = window.ViewKind();
        return true;
    case kBackColorMessage:
        message->WParam = window.ThemedBackColor();
        message->Result = 1;
        return true;
    default:
        return false;
    }
}

} // namespace dk
