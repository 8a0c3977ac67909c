#include "effects/core/VfxUtils.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fx {

bool VfxIsBlank(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

bool VfxIsPathSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

QString VfxAddBackslash(const QString& path) {
    if (VfxIsBlank(path) || VfxIsPathSeparator(path.back())) {
        return path;
    }
    return path + u'/';
}

QString VfxRemoveBackslash(const QString& path) {
    if (!path.isEmpty() && VfxIsPathSeparator(path.back())) {
        return path.chopped(1);
    }
    return path;
}

QString VfxPathPrefix(TVfxPathPrefix prefix, bool trailingBackslash) {
    QString folder;
    switch (prefix) {
    case ppWindows:
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        break;
    case ppSystem:
        folder = QStringLiteral("/etc");
        break;
    case ppProgram:
        folder = QCoreApplication::applicationDirPath();
        break;
    case ppFixed:
        break;
    }
    // The root folder keeps its only separator.
    if (folder.size() > 1) {
        folder = VfxRemoveBackslash(folder);
    }
    return trailingBackslash ? VfxAddBackslash(folder) : folder;
}

int VfxRectWidth(const TVfxRect& r) {
    return r.Right - r.Left;
}

int VfxRectHeight(const TVfxRect& r) {
    return r.Bottom - r.Top;
}

TVfxRect VfxFitRect(int sourceWidth, int sourceHeight, const TVfxRect& target) {
    if (sourceWidth <= 0 || sourceHeight <= 0) {
        return {target.Left, target.Top, target.Left, target.Top};
    }
    const double scale = std::min(double(VfxRectWidth(target)) / sourceWidth,
                                  double(VfxRectHeight(target)) / sourceHeight);
    const int w = static_cast<int>(std::nearbyint(sourceWidth * scale));
    const int h = static_cast<int>(std::nearbyint(sourceHeight * scale));
    return {target.Left, target.Top, target.Left + w, target.Top + h};
}

std::array<TVfxPoint, 4> VfxRotateRect(const TVfxRect& r, double angle) {
    const double cx = (double(r.Left) + r.Right) / 2;
    const double cy = (double(r.Top) + r.Bottom) / 2;
    const double rad = angle * std::numbers::pi / 180;
    const double c = std::cos(rad);
    const double s = std::sin(rad);
    const auto turn = [&](int x, int y) {
        const double dx = x - cx;
        const double dy = y - cy;
        return TVfxPoint{static_cast<int>(std::nearbyint(cx + dx * c - dy * s)),
                         static_cast<int>(std::nearbyint(cy + dx * s + dy * c))};
    };
    return {turn(r.Left, r.Top), turn(r.Right, r.Top), turn(r.Right, r.Bottom),
            turn(r.Left, r.Bottom)};
}

int VfxMaxInt(std::span<const int> values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

int VfxMinInt(std::span<const int> values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double VfxMaxFloat(std::span<const double> values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace fx
