// The window-state saver restoring a form from the registry store or from an
// INI file of its own (the input's first byte), with the stored values as
// typed values (StoredValueInput.h: a value name, then a typed value, over
// and over), KeepOnScreen and DefaulMaximized as the input says, on monitors
// the input picks and a form of the size it gives.
//
// Checked on every input: with KeepOnScreen the form lies inside a monitor's
// work area, without it it shows on one and is no larger; a form that is not
// maximized, saved and restored again, comes back where it was; the
// sanitizers report nothing.
#include "FuzzSupport.h"
#include "StoredValueInput.h"

#include "controls/StateSaver.h"
#include "platform/core/Registry.h"
#include "platform/gui/MsgBox.h"

#include "PlatformFakes.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using plat::ScreenArea;
using plat::TRect;

std::unique_ptr<QTemporaryDir> folder; // removed at exit

QRect Bounds(const QWidget& form) {
    return {form.pos(), form.size()};
}

// A saver of `form` reading the store, or with `ini` its own INI file.
TStateSaver* SaverOf(QWidget& form, const std::shared_ptr<plat::Registry>& store,
                     const QString& ini, bool keepOnScreen, bool defaultMaximized) {
    auto* saver = new TStateSaver(&form);
    saver->SetAutomatic(false);
    saver->SetKeepOnScreen(keepOnScreen);
    saver->SetDefaulMaximized(defaultMaximized);
    if (ini.isEmpty()) {
        saver->SetPath(QStringLiteral("Software\\ZELVO\\MainForm"));
        saver->SetRegistry(store);
    } else {
        saver->SetLocation(slIni);
        saver->SetPath(ini);
    }
    return saver;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OffscreenApplication(argc, argv);
    static const plat::ScopedMsgBoxHandler boxes(
        [](const plat::MsgBoxRequest&) { return plat::MsgResult::Ok; });
    folder = std::make_unique<QTemporaryDir>();
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<std::vector<ScreenArea>> layouts = MonitorLayouts();
    static const std::vector<QString> names{"Top", "Left", "Height", "Width", "Maximized"};
    static const QStringList words{"0", "-1", "1", "yes", "$7FFFFFFF", "0x80000000", ""};
    StoredValueInput in(data, size);
    const uint8_t options = in.Byte();
    const bool inIni = (options & 1) != 0;
    const bool keepOnScreen = (options & 2) != 0;
    const bool defaultMaximized = (options & 4) != 0;
    const FakeScreens screens(in.Pick(layouts));
    const QRect design(in.Int32() % 4000, in.Int32() % 4000, 1 + in.Byte() * 8, 1 + in.Byte() * 8);

    const QString ini = folder->filePath(QStringLiteral("window.ini"));
    const QString storeFile = folder->filePath(QStringLiteral("store.ini"));
    QFile::remove(ini);
    QFile::remove(storeFile);
    auto store = std::make_shared<plat::Registry>(storeFile);
    plat::Registry file(ini);
    plat::Registry& target = inIni ? file : *store;
    const QStringList section =
        inIni ? QStringList{"Position"} : QStringList{"MainForm", "Position"};
    while (!in.AtEnd()) {
        const QString& name = in.Pick(names);
        if (auto key = target.OpenKey(section, true)) {
            in.WriteValue(*key, name, words);
        }
    }
    check(!inIni || file.Save());

    QWidget form;
    form.setGeometry(design);
    TStateSaver* saver =
        SaverOf(form, store, inIni ? ini : QString(), keepOnScreen, defaultMaximized);
    saver->RestoreState();
    const QRect bounds = Bounds(form);
    const std::vector<ScreenArea> areas = screens.Areas();
    if (!areas.empty()) {
        const TRect work = plat::MonitorRectForRect(areas, TRect(bounds), true);
        const TRect common = plat::IntersectRect(TRect(bounds), work);
        check(!common.IsEmpty());
        check(bounds.width() <= work.Width() && bounds.height() <= work.Height());
        check(!keepOnScreen || common == TRect(bounds));
    }
    if (!form.isMaximized()) {
        // What is saved comes back.
        saver->SaveState();
        QWidget again;
        again.setGeometry(design);
        SaverOf(again, store, inIni ? ini : QString(), keepOnScreen, defaultMaximized)
            ->RestoreState();
        check(Bounds(again) == bounds);
    }
    return 0;
}
