#pragma once
// Hears of changes on the desk and tells the nexus: a new application
// palette is a change of the system colours, a screen added, removed, made
// primary or given a new geometry is a change of the display, and a new
// platform theme or application style is a change of the visual style. A
// change of the application's fonts realises the kit's menu font anew. It
// stands where the nexus's hidden window would hear the desk's broadcasts.

#include <QObject>

class QScreen;
class TDkxNexus;

namespace dk {

class TDkxDeskWatcher final : public QObject {
    Q_OBJECT
public:
    // Watches the application (a Qt GUI application must exist).
    explicit TDkxDeskWatcher(TDkxNexus& nexus);
    ~TDkxDeskWatcher() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WatchScreen(QScreen* screen);
    void DisplayChanged();
    // Every window and widget hears of a new theme or style: the nexus
    // reacts once, after they all have.
    void VisualStyleChangeSeen();

    TDkxNexus& nexus_;
    bool visualStylePending_ = false;
};

} // namespace dk
