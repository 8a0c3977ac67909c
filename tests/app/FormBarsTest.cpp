// The windows' bars: a button that shows only its image says what it does
// through the application's hint machinery, the chevron says "More
// Buttons", an action's hint is its caption as shown, following it; the
// "Default" entries of the font colour drop-downs are colour buttons.
#include "KitDriving.h"
#include "MainFormTestSupport.h"
#include "ToolTips.h"

#include "app/common/Actions.h"
#include "app/mainform/MainFormControls.h"
#include "app/refs/AttachForm.h"
#include "dockkit/bars/DkThemedToolbar.h"
#include "dockkit/items/DkItem/DkItem.h"
#include "dockkit/items/DkItemViewer.h"
#include "dockkit/items/DkView/DkView.h"
#include "dockkit/menus/DkMenuLoop.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/themes/DkThemedItem.h"

#include <QAction>

#include <optional>

namespace mainformtest {
namespace {

TEST(ActionHintTest, IsTheCaptionAsShownWithoutItsEllipsis) {
    const struct {
        const char* caption;
        const char* hint;
    } rows[] = {
        {"&Options...", "Options"},
        {"Co&nnect", "Connect"},
        {"&Friends && Groups", "Friends & Groups"},
        {"Undo...", "Undo"},
        {"S&elect All", "Select All"},
        {"Set Yourself Away", "Set Yourself Away"},
        {"Wait. Then go", "Wait. Then go"},
        {" New Reference... ", "New Reference"},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ActionHint(QString::fromUtf8(row.caption)), QString::fromUtf8(row.hint))
            << row.caption;
    }
}

TEST(ActionHintTest, FollowsTheCaptionUntilTheActionIsGivenAHintOfItsOwn) {
    QObject owner;
    QAction* action = MakeAction(&owner, QStringLiteral("AwayAction"),
                                 QStringLiteral("Set Yourself &Away..."), {}, 31);
    EXPECT_EQ(action->statusTip(), QStringLiteral("Set Yourself Away"));
    action->setText(QStringLiteral("Set Yourself &Back"));
    EXPECT_EQ(action->statusTip(), QStringLiteral("Set Yourself Back"));
    action->setEnabled(false); // other changes leave the hint alone
    EXPECT_EQ(action->statusTip(), QStringLiteral("Set Yourself Back"));

    action->setStatusTip(QStringLiteral("Own hint"));
    action->setText(QStringLiteral("Set Yourself Away"));
    EXPECT_EQ(action->statusTip(), QStringLiteral("Own hint"));
}

class MainFormHintsTest : public MainFormTest {
public:
    ~MainFormHintsTest() override { HideToolTipNow(); }

protected:
    TMainForm& Shown() {
        TMainForm& f = Create();
        f.show();
        f.activateWindow();
        ProcessPosted();
        return f;
    }
};

// "bar/item" of every shown button of the bars that shows no caption.
QStringList ImageOnlyButtons(std::initializer_list<TDkxToolbar*> bars) {
    QStringList buttons;
    for (TDkxToolbar* bar : bars) {
        for (int i = 0; i < bar->Items()->Count(); ++i) {
            const TDkCustomItem* item = bar->Items()->Items(i);
            const TDkItemViewer* viewer = kittest::ViewerOf(item);
            if (viewer != nullptr && !item->HasStyle(dk::StyleSeparator) &&
                !viewer->CaptionShown()) {
                buttons << bar->objectName() + u'/' + item->objectName();
            }
        }
    }
    return buttons;
}

TEST_F(MainFormHintsTest, EveryButtonShowingOnlyItsImageSaysWhatItDoes) {
    TMainForm& f = Shown();
    const struct {
        const char* button;
        const char* tip;
    } rows[] = {
        {"StandardBar/ConnectAction", "Connect (Ctrl+N)"},
        {"StandardBar/DisconnectAction", "Disconnect (Ctrl+D)"},
        {"StandardBar/AwayAction", "Set Yourself Away"},
        {"StandardBar/AwayMessagesAction", "Away Messages"},
        {"StandardBar/OptionsAction", "Options (F10)"},
        {"EditBar/CutAction", "Cut (Ctrl+X)"},
        {"EditBar/CopyAction", "Copy (Ctrl+C)"},
        {"EditBar/PasteAction", "Paste (Ctrl+V)"},
        {"EditBar/DeleteAction", "Delete (Del)"},
        {"EditBar/UndoAction", "Undo (Ctrl+Y)"},
        {"EditBar/AttachAction", "Insert Reference (Ctrl+I)"},
        {"EditBar/ColorItem", "Select Color"},
        {"EditBar/EmotItem", "Insert Emoticon"},
    };
    QStringList buttons;
    for (const auto& row : rows) {
        buttons << QString::fromLatin1(row.button);
    }
    ASSERT_EQ(ImageOnlyButtons({f.StandardBar, f.EditBar}), buttons);
    for (const auto& row : rows) {
        const QStringList path = QString::fromLatin1(row.button).split(u'/');
        const auto* bar = f.findChild<TDkxToolbar*>(path[0]);
        const auto* item =
            bar->Items()->findChild<TDkCustomItem*>(path[1], Qt::FindDirectChildrenOnly);
        EXPECT_EQ(kittest::TipOver(item), QString::fromLatin1(row.tip)) << row.button;
    }
}

TEST_F(MainFormHintsTest, TheAwayButtonSaysWhatItDoesNow) {
    TMainForm& f = Shown();
    const TDkCustomItem* away = f.StandardBar->Items()->findChild<TDkCustomItem*>(
        QStringLiteral("AwayAction"), Qt::FindDirectChildrenOnly);
    f.SetAway(QStringLiteral("/away lunch"));
    EXPECT_EQ(kittest::TipOver(away), QStringLiteral("Set Yourself Back"));
    f.SetBack();
    EXPECT_EQ(kittest::TipOver(away), QStringLiteral("Set Yourself Away"));
}

TEST_F(MainFormHintsTest, AChevronThatHidesButtonsSaysMoreButtons) {
    TMainForm& f = Create();
    LayOut(f, 100, 400);
    int chevrons = 0;
    for (TDkxToolbar* bar : {f.StandardBar, f.EditBar}) {
        const TDkItemViewer* chevron = kittest::ViewerOf(bar->ChevronItem());
        if (chevron == nullptr) {
            continue;
        }
        ++chevrons;
        EXPECT_EQ(kittest::TipOver(bar->ChevronItem()), QStringLiteral("More Buttons"))
            << bar->objectName().toStdString();
    }
    EXPECT_EQ(chevrons, 2) << "both bars are too wide for 100 pixels";
}

// A palette's button shows its hint until the palette opens: the click
// takes it away, and resting on the button while the palette is open does
// not bring it back. Closed, the button says it again. "Insert Emoticon"
// in the main window's Edit bar, "Select Color" in the reference editor.
TEST_F(MainFormHintsTest, APaletteOpeningTakesItsButtonsHintAway) {
    TMainForm& f = Shown();
    f.InputEdit->setFocus();
    f.InputEditEnter();
    const auto check = [](TDkxSubmenuItem* button, const QString& hint) {
        ASSERT_TRUE(button->Enabled());
        EXPECT_EQ(kittest::TipOver(button), hint);
        const std::optional<QPoint> at = kittest::CenterOf(button);
        ASSERT_TRUE(at.has_value());
        bool opened = false;
        QString shown = QStringLiteral("?");
        QString resting = QStringLiteral("?");
        kittest::Later([&] { kittest::Mouse(QEvent::MouseButtonRelease, *at); });
        kittest::Later([&] {
            const TDkView* loop = dk::RunningMenuLoopView();
            opened = loop != nullptr && loop->PopupOpenFor(kittest::ViewerOf(button));
            shown = ShownToolTip();
            resting = kittest::TipOver(button);
            kittest::EndMenus();
        });
        kittest::Mouse(QEvent::MouseButtonPress, *at);
        ProcessPosted();
        EXPECT_TRUE(opened);
        EXPECT_EQ(shown, QString()) << "the click took it away";
        EXPECT_EQ(resting, QString()) << "resting on the button of the open palette";
        EXPECT_EQ(kittest::TipOver(button), hint) << "closed, it says it again";
    };
    {
        SCOPED_TRACE("main window");
        check(f.EmotItem, QStringLiteral("Insert Emoticon"));
    }
    f.AttachActionExecute();
    auto* editor = f.findChild<TAttachForm*>(QStringLiteral("AttachForm"));
    ASSERT_NE(editor, nullptr);
    editor->RefEdit->setFocus();
    editor->RefEditEnter();
    ProcessPosted();
    {
        SCOPED_TRACE("reference editor");
        check(editor->ColorItem, QStringLiteral("Select Color"));
    }
}

// In the main window's "Font Color" drop-down and in the reference
// editor's, "Default" is a colour button of radio group 99 that shows its
// hint while the menu is open.
TEST_F(MainFormHintsTest, TheDefaultColourItemsAreColourButtons) {
    TMainForm& f = Shown();
    f.InputEdit->setFocus();
    f.AttachActionExecute();
    auto* editor = f.findChild<TAttachForm*>(QStringLiteral("AttachForm"));
    ASSERT_NE(editor, nullptr);
    const struct {
        const char* form;
        TDkxSubmenuItem* colorItem;
        TDkxColorItem* clrDefault;
    } rows[] = {
        {"main window", f.ColorItem, f.ClrDefault},
        {"reference editor", editor->ColorItem, editor->ClrDefault},
    };
    for (const auto& row : rows) {
        TDkxColorItem* item = row.clrDefault;
        EXPECT_EQ(item->Parent(), row.colorItem) << row.form;
        EXPECT_EQ(item->Caption(), QStringLiteral("Default")) << row.form;
        EXPECT_EQ(item->GroupIndex(), 99) << row.form;
        EXPECT_EQ(item->Options(), dkoShowHint | dkoToolbarStyle) << row.form;
        EXPECT_EQ(item->Hint(), QStringLiteral("Default Color")) << row.form;

        bool opened = false;
        kittest::Later([&] {
            const auto* viewer = dynamic_cast<TDkxItemViewer*>(kittest::ViewerOf(item));
            opened = viewer != nullptr;
            if (opened) {
                EXPECT_TRUE(viewer->IsToolbarStyle()) << row.form;
                EXPECT_EQ(viewer->ImageSize(), QSize(12, 12)) << row.form;
                EXPECT_TRUE(viewer->ThemedImageShown() && viewer->CaptionShown()) << row.form;
            }
            kittest::EndMenus();
        });
        row.colorItem->Popup(10, 10, false);
        ProcessPosted();
        EXPECT_TRUE(opened) << row.form;
    }
}

} // namespace
} // namespace mainformtest
