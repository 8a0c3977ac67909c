#pragma once
// The kit's own themes in force on the classic desk, images to paint them
// into, and item paint records to describe items with.

#include "dockkit/themes/DkKitThemes.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemeUtils.h"

#include "PixelPicture.h"
#include "PlatformFakes.h"

#include "platform/gui/ImageList.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>

// RRGGBB written as the TColor 0x00BBGGRR.
constexpr plat::TColor Rgb(uint32_t rrggbb) {
    return dk::SwapRedBlue(static_cast<plat::TColor>(rrggbb));
}

// "Default" current and "Flat" registered, on the classic desk without flat
// menus.
struct KitThemes {
    FakeSystemParameters desk;
    std::unique_ptr<TDkxNexus> nexus = dk::CreateKitThemeNexus();

    TDkxTheme& Theme() const { return nexus->CurrentTheme(); }
    TDkxTheme& Select(const char* name) {
        nexus->SelectTheme(QString::fromLatin1(name));
        return Theme();
    }
};

// A 16 x 16 image list of one image: a black square with a red rim.
inline plat::ImageList* MakeRimmedImages(QObject* owner) {
    auto* images = new plat::ImageList(16, 16, owner);
    QImage cell(16, 16, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    for (int y = 3; y < 13; ++y) {
        for (int x = 3; x < 13; ++x) {
            const bool rim = x == 3 || y == 3 || x == 12 || y == 12;
            cell.setPixel(x, y, rim ? qRgb(255, 0, 0) : qRgb(0, 0, 0));
        }
    }
    images->Add(cell);
    return images;
}

// An image of the size filled with the blank magenta, painted by `draw`.
inline QImage PaintImage(int width, int height, const std::function<void(QPainter&)>& draw) {
    QImage image = BlankImage(width, height);
    QPainter painter(&image);
    draw(painter);
    return image;
}

// A docked panel with its close button hot, a floating window with its close
// button pushed and a tool bar with a double handle and a close button in
// `barClose` state, side by side over (0, 0)-(112, 32), with empty captions
// (text would differ between desks).
inline void PaintFrameSheet(TDkxTheme& theme, QPainter& p, unsigned barClose) {
    dk::TDkxDockPanelInfo panel;
    panel.Vertical = true;
    panel.ShowCaption = true;
    panel.ClientWidth = 36;
    panel.ClientHeight = 12;
    panel.CloseButtonState = dk::CloseButtonShown | dk::CloseButtonHot;
    theme.DrawDockPanelFrame(p, plat::TRect(0, 0, 40, 32), panel);

    dk::TDkxFloatingBorderInfo floating;
    floating.ShowCaption = true;
    floating.Active = true;
    floating.BorderSize = QPoint(3, 3);
    floating.ClientWidth = 34;
    floating.ClientHeight = 10;
    floating.CloseButtonState = dk::CloseButtonShown | dk::CloseButtonPushed;
    floating.RedrawWhat =
        dk::FloatingRedrawFrame | dk::FloatingRedrawCaption | dk::FloatingRedrawCloseButton;
    p.save();
    p.translate(42, 0);
    theme.DrawFloatingFrame(p, plat::TRect(0, 0, 40, 32), floating);
    p.restore();

    dk::TDkxToolbarInfo bar;
    bar.DragHandleShown = true;
    bar.BorderStyle = dk::BorderSingle;
    bar.BorderSize = QPoint(2, 2);
    bar.ClientWidth = 10;
    bar.ClientHeight = 28;
    bar.DragHandleStyle = dk::DragHandleDouble;
    bar.CloseButtonState = dk::CloseButtonShown | barClose;
    p.save();
    p.translate(84, 0);
    theme.DrawToolbarFrame(p, plat::TRect(0, 0, 28, 32), bar);
    p.restore();
}

// The classic picture of the image, or of a region of it, as one line: the
// rows top to bottom with '/' between them.
inline QString Picture(const QImage& image, QRect region = QRect()) {
    return PixelPicture(image, ClassicLegend(), region).join(u'/');
}

// The pixel as RRGGBB.
inline uint32_t Px(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}
constexpr uint32_t kBlankPixel = 0xFF00FF;

// An enabled item of the view kind, idle unless changed.
inline dk::TDkxItemInfo ItemInfo(unsigned viewKind, unsigned options = dk::ItemToolbarStyle) {
    dk::TDkxItemInfo info;
    info.ViewKind = viewKind;
    info.ItemOptions = options;
    info.Enabled = true;
    info.ComboPart = dk::ComboWhole;
    return info;
}

// The item states the tables of the tests name.
enum class ItemState {
    Idle,
    Hot,
    KeyHot,
    Pushed,
    Checked,
    CheckedHot,
    Disabled,
    DisabledKeyHot,
    DropDownOpen,
    Designing
};

// A state by its name in a row of tests/data/dockkit ("Idle", "KeyHot", ...).
inline ItemState StateNamed(const QString& name) {
    const char* const names[] = {"Idle",         "Hot",        "KeyHot",   "Pushed",
                                 "Checked",      "CheckedHot", "Disabled", "DisabledKeyHot",
                                 "DropDownOpen", "Designing"};
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (name == QLatin1String(names[i])) {
            return ItemState(i);
        }
    }
    ADD_FAILURE() << "no state " << name.toStdString();
    return ItemState::Idle;
}

inline dk::TDkxItemInfo InState(dk::TDkxItemInfo info, ItemState state) {
    switch (state) {
    case ItemState::Idle:
        break;
    case ItemState::Hot:
        info.HoverKind = dk::HoverMouse;
        break;
    case ItemState::KeyHot:
        info.HoverKind = dk::HoverKeyboard;
        break;
    case ItemState::Pushed:
        info.Pushed = true;
        info.HoverKind = dk::HoverMouse;
        break;
    case ItemState::Checked:
        info.Selected = true;
        break;
    case ItemState::CheckedHot:
        info.Selected = true;
        info.HoverKind = dk::HoverMouse;
        break;
    case ItemState::Disabled:
        info.Enabled = false;
        break;
    case ItemState::DisabledKeyHot:
        info.Enabled = false;
        info.HoverKind = dk::HoverKeyboard;
        break;
    case ItemState::DropDownOpen:
        info.Pushed = true;
        info.Selected = true;
        info.DropDownOpen = true;
        break;
    case ItemState::Designing:
        info.ItemOptions |= dk::ItemDesigning;
        break;
    }
    return info;
}
