// The menu loop driven by the keyboard: arrows, Home, End, Tab, Enter,
// Escape, Alt, F10 and accelerators in a pop-up menu and its submenus.

#include "DataRows.h"
#include "MenuFixtures.h"

#include "dockkit/menus/DkMenuLoop.h"

#include <QApplication>

namespace {

// A row of menu-keys.txt.
class MenuKeys : public MenuTest, public ::testing::WithParamInterface<QStringList> {
protected:
    MenuKeys() {
        for (const char* caption :
             {"&Open", "&Options", "E&xit", "&Delete", "Fish && &Chips", "&a&b", "Zebra"}) {
            AddItem(caption);
        }
        menu_.Items()->Items(3)->SetEnabled(false);
    }
};

TEST_P(MenuKeys, ChooseWhatTheKeysSelect) {
    const QStringList& row = GetParam();
    script_.Keys(row[1].toUtf8().constData());
    RunMenu();
    EXPECT_EQ(ClickLog(), row[2].toStdString());
    EXPECT_EQ(beeps_, row[3].toInt());
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuKeys, ::testing::ValuesIn(DataRows("menu-keys.txt", 4)),
                         [](const auto& info) { return info.param[0].toStdString(); });

} // namespace
