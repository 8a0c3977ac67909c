// The program's start with a settings file written through the store as a
// list of typed values (StoredValueInput.h): each value is a key choice (one
// byte) and a typed value, so that the limits of 32 and 64 bits, 0, -1 and
// values of the wrong kind reach every setting, the window's placement, the
// saved positions of its bars and panel, the stored logins and dimensions.
// See MainWindowStart.h for what is checked.
#include "FuzzDocking.h"
#include "MainWindowStart.h"
#include "StoredValueInput.h"

#include "platform/core/Registry.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Slot {
    QStringList Key;
    QString Name;
};

std::vector<Slot> Slots() {
    std::vector<Slot> slots;
    for (const char* name : {"AwayLogging",
                             "AwayAutoCancel",
                             "AutoAway",
                             "AutoAwayIdle",
                             "AutoAwayMessage",
                             "PlaySounds",
                             "VLDirectory",
                             "GroupPanelVisible",
                             "GroupSplitterPosition",
                             "MainSplitterPosition",
                             "StatusBarVisible",
                             "AutoReconnect",
                             "ReconnectTimes",
                             "ReconnectDelay",
                             "AutoLoginDimension",
                             "AutoLoginUser",
                             "AutoLoginPassword",
                             "OnStartup",
                             "LastUser",
                             "LastDimension",
                             "ParseEmoticons",
                             "ParseUrls",
                             "LinkNames",
                             "LinkGroups",
                             "TimestampChat",
                             "TimestampFormat",
                             "TimestampColor",
                             "SmoothScrolling",
                             "TimestampIndent",
                             "LineSpacing"}) {
        slots.push_back({{}, QString::fromLatin1(name)});
    }
    for (const char* control : {"FriendsTreeView", "GroupsTreeView", "OutputMemo", "InputEdit"}) {
        for (const char* value :
             {"_FontCharSet", "_FontColor", "_FontName", "_FontSize", "_FontBold", "_FontUnderline",
              "_FontItalic", "_FontStrikeOut", "_Color"}) {
            slots.push_back({{}, QString::fromLatin1(control) + QString::fromLatin1(value)});
        }
    }
    for (const char* name : {"Top", "Left", "Height", "Width", "Maximized"}) {
        slots.push_back({{"MainForm", "Position"}, QString::fromLatin1(name)});
    }
    for (const char* window : {"GroupDockablePanel", "MenuBar", "StandardBar", "EditBar"}) {
        for (const QString& name : SavedPositionNames()) {
            slots.push_back({{"MainForm", "Toolbars", QString::fromLatin1(window)}, name});
        }
    }
    for (const char* name : {"Host", "Port", "Description"}) {
        slots.push_back({{"Dimensions", "Kelmarch"}, QString::fromLatin1(name)});
    }
    for (const char* name : {"Password", "LastChar"}) {
        slots.push_back({{"Logins", "bob"}, QString::fromLatin1(name)});
    }
    return slots;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    InitMainWindowStart(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<Slot> slots = Slots();
    static const QStringList words{"2000",       "+",       "TopDock", "LeftDock",  "RightDock",
                                   "BottomDock", "topdock", "",        "NoDock",    "Tahoma",
                                   "1",          "-1",      "$FF",     "0x7fffffff"};
    QFile::remove(SettingsFile());
    {
        plat::Registry store(SettingsFile());
        StoredValueInput in(data, size);
        while (!in.AtEnd()) {
            const Slot& slot = in.Pick(slots);
            if (auto key = store.OpenKey(slot.Key, true)) {
                in.WriteValue(*key, slot.Name, words);
            }
        }
        if (!store.Save()) {
            std::abort();
        }
    }
    KeepLoggingOff();
    StartMainWindow();
    return 0;
}
