// Clicks on the console's links: a name or group becomes the input target
// (left button) or opens its pop-up menu (right button); web links open in
// the browser; reference links show the attachment they name.
#include "app/mainform/MainForm.h"

#include "app/refs/TextRefForm.h"
#include "app/whois/VLWhoisThread.h"
#include "console/QvConsole/QvConsole.h"
#include "engine/VLBlob.h"
#include "platform/core/Guarded.h"
#include "platform/gui/MsgBox.h"
#include "platform/gui/Shell.h"

namespace {

bool IsLink(const QString& name, const char* kind) {
    return name.compare(QLatin1String(kind), Qt::CaseInsensitive) == 0;
}

} // namespace

QString TMainForm::ItemPageAddress(uint32_t id2) {
    return TVLWhoisThread::DefaultSite() + QStringLiteral("/items/showitem.asp?VLID=") +
           QString::number(id2);
}

void TMainForm::OutputMemoMouseUp(TQvCustomConsole*, Qt::MouseButton Button, Qt::KeyboardModifiers,
                                  int X, int Y) {
    const TLinkInformation link = OutputMemo->LinkInformation();
    if (!link.Valid) {
        return;
    }
    const QString& name = link.Name;
    const QString& params = link.Params;
    if (Button == Qt::LeftButton) {
        if (IsLink(name, "charlink")) {
            QueryCharacter(params);
        } else if (IsLink(name, "privcharlink")) {
            QueryCharacter(params.section(u',', 0, 0));
        } else if (IsLink(name, "publiclink")) {
            QueryPublicGroup(params);
        } else if (IsLink(name, "privatelink")) {
            QueryPrivateGroup(params);
        } else if (IsLink(name, "charurl") || IsLink(name, "guildurl")) {
            // Web addresses only; anything else is refused.
            plat::ShellOpenUrl(params);
        } else if (IsLink(name, "reflink")) {
            ShowReference(params);
        }
        return;
    }
    if (Button != Qt::RightButton) {
        return;
    }
    TDkxPopupMenu* menu = nullptr;
    if (IsLink(name, "charlink")) {
        PopupName = params;
        CharPopupMenuPopup();
        menu = CharPopupMenu;
    } else if (IsLink(name, "privcharlink")) {
        const QStringList items = params.split(u',');
        PopupCharGroup = items.value(1);
        PopupName = items.value(0);
        PrivCharPopupMenuPopup();
        menu = PrivCharPopupMenu;
    } else if (IsLink(name, "publiclink")) {
        PopupGroup = params;
        PubPopupMenuPopup();
        menu = PubPopupMenu;
    } else if (IsLink(name, "privatelink")) {
        PopupGroup = params;
        PrivPopupMenuPopup();
        menu = PrivPopupMenu;
    }
    if (!menu) {
        return;
    }
    OpenPopup(menu, OutputMemo->viewport()->mapToGlobal(QPoint(X, Y)));
    // The console drops the link it shows as hovered once the menu is up.
    TQvConsole* console = OutputMemo;
    QMetaObject::invokeMethod(
        console, [console] { plat::Guarded([console] { console->MouseLeave(); }); },
        Qt::QueuedConnection);
}

void TMainForm::ShowReference(const QString& key) {
    const qsizetype index = ReceivedAttachments.IndexOf(key);
    if (index < 0) {
        return;
    }
    const TBlob* blob = ReceivedAttachments.Blobs(index);
    if (const auto* item = dynamic_cast<const TItemBlob*>(blob)) {
        plat::ShellOpenUrl(ItemPageAddress(item->Id2()));
    } else if (const auto* text = dynamic_cast<const TTextBlob*>(blob)) {
        auto* form =
            FindOrCreateForm<TTextRefForm>(QStringLiteral("TextRefForm"), [](QWidget* parent) {
                return new TTextRefForm(parent);
            });
        form->ShowReference(TTextRefForm::ReferenceText(*text));
        ShowForm(*form);
    } else if (dynamic_cast<const TUnknownBlob*>(blob)) {
        plat::MessageBox(this, plat::MsgKind::Plain, QStringLiteral("Quorvel"),
                         QStringLiteral("Unknown"));
    }
}
