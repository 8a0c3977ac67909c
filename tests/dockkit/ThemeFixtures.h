#pragma once
// A theme that paints nothing and records what it is asked, and objects that
// log the kit messages they receive: fixtures for the theme registry, the
// switch and the classes that call the theme.

#include "dockkit/common/DkMessages.h"
#include "dockkit/themes/DkNexus.h"

#include "platform/gui/KitMessage.h"

#include <QEvent>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

// A rectangle as "left,top-right,bottom".
inline QString Box(const plat::TRect& r) {
    return QStringLiteral("%1,%2-%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

// Paints nothing; answers fixed values and keeps the last record it was given.
class RecordingTheme : public TDkxTheme {
public:
    static inline int Created = 0;
    static inline int Prepared = 0;

    RecordingTheme() : Serial(++Created) {}

    void Prepare() override { ++Prepared; }

    QPoint GetImageShift(QPainter&, const dk::TDkxItemInfo& info, const plat::ImageList*) override {
        Last = info;
        return {};
    }
    plat::TColor GetItemBackColor(const dk::TDkxItemInfo& info) override {
        Last = info;
        return plat::clBtnFace;
    }
    plat::TColor GetImageBackColor(const dk::TDkxItemInfo& info) override {
        Last = info;
        return plat::clBtnFace;
    }
    dk::TDkxMargins GetPartMargins(int) override { return {}; }
    int GetPopupShadowStyle() override { return dk::PopupShadowNone; }
    QPoint GetViewBorderSize(unsigned) override { return {2, 2}; }
    plat::TColor GetViewBackColor(unsigned) override { return plat::clBtnFace; }
    dk::TDkxMargins GetViewMargins(unsigned) override { return {}; }
    void DrawViewBackground(QPainter&, const plat::TRect&, const plat::TRect&, plat::TColor, bool,
                            unsigned) override {}
    void DrawButtonFace(QPainter&, const plat::TRect&, const dk::TDkxItemInfo& info) override {
        Last = info;
    }
    void DrawItemCaption(QPainter&, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                         const QString& text, unsigned format, bool rotated) override {
        Calls << QStringLiteral("caption %1 %2 %3").arg(text).arg(format).arg(rotated);
        LastRect = rect;
        Last = info;
    }
    void DrawCheckGlyph(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&) override {}
    void DrawChevronGlyph(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&) override {}
    void DrawEditFrame(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&,
                       const dk::TDkxEditFrameInfo&) override {}
    void DrawEditButton(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&,
                        const dk::TDkxEditButtonInfo&) override {}
    void DrawDockPanelFrame(QPainter&, const plat::TRect&, const dk::TDkxDockPanelInfo&) override {}
    void DrawDropDownGlyph(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&) override {}
    void DrawFloatingFrame(QPainter&, const plat::TRect&,
                           const dk::TDkxFloatingBorderInfo&) override {}
    void DrawEditBorder(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&) override {}
    void DrawItemImage(QPainter&, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       const plat::ImageList*, int index) override {
        Calls << QStringLiteral("image %1").arg(index);
        LastRect = rect;
        Last = info;
    }
    void DrawWindowButton(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&, int) override {}
    void DrawMenuItem(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&) override {}
    void DrawMenuItemFrame(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&) override {}
    void DrawScrollArrowButton(QPainter&, const plat::TRect&, int, bool) override {}
    void DrawPopupFrame(QPainter&, const plat::TRect&, const dk::TDkxPopupInfo&) override {}
    void DrawSeparator(QPainter&, const plat::TRect&, const dk::TDkxItemInfo&, bool,
                       bool) override {}
    void DrawToolbarFrame(QPainter&, const plat::TRect&, const dk::TDkxToolbarInfo&) override {}
    void DrawCheckRadioFrame(QPainter&, const plat::TRect&, int, unsigned) override {}
    void DrawStatusBarPart(QPainter&, const plat::TRect&, int) override {}
    int GetIntegerValue(int) override { return -1; }
    bool GetBooleanValue(int) override { return false; }

    const int Serial;
    QStringList Calls;
    dk::TDkxItemInfo Last;
    plat::TRect LastRect;
};

// A second class, to tell the registered themes apart.
class OtherRecordingTheme final : public RecordingTheme {};

// A theme whose preparation fails.
class FailingTheme final : public RecordingTheme {
public:
    void Prepare() override { throw std::runtime_error("cannot prepare"); }
};

// Appends "<name>:<message>" to a shared log for every kit message it gets,
// then runs an optional hook (which may answer).
class MessageLogger : public QObject {
public:
    MessageLogger(QString name, QStringList& log) : name_(std::move(name)), log_(log) {}

    std::function<void(plat::KitMessageEvent& message)> OnMessage;

protected:
    bool event(QEvent* event) override {
        if (auto* message = plat::KitMessageEvent::From(event)) {
            log_ << QStringLiteral("%1:%2").arg(name_).arg(message->Msg());
            if (OnMessage) {
                OnMessage(*message);
            }
            return true;
        }
        return QObject::event(event);
    }

private:
    QString name_;
    QStringList& log_;
};

// Logs the theme messages (1257 to 1260) another object receives, under a
// name, and lets them through.
class KitMessageTap final : public QObject {
public:
    KitMessageTap(QObject* watched, QString name, QStringList& log)
        : name_(std::move(name)), log_(log) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (const auto* message = plat::KitMessageEvent::From(event)) {
            const int msg = message->Msg();
            if (msg >= dk::kThemeChangingMessage && msg <= dk::kListenerColorsMessage) {
                log_ << QStringLiteral("%1:%2").arg(name_).arg(msg);
            }
        }
        return false;
    }

private:
    QString name_;
    QStringList& log_;
};
