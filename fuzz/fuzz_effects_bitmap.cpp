// Arbitrary bytes through the effects kit's bitmap reader: the bitmap file
// loader and the bitmap object block (plain and compressed).
//
// Input: byte 0 chooses the reader (low two bits) and, for a bitmap that
// loads, the depth it is written back at; the rest is what the reader gets.
// Checked on every input:
// - no crash, no sanitizer report;
// - only the documented errors: "Bitmap image is not valid" for bytes that
//   are no bitmap, the stream read error for a block cut short;
// - a bitmap that loads is written as a bitmap file at any depth, and that
//   file loads again at the same size; at its own depth with the same pixels.

#include "effects/core/VfxStreams.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"

#include <QBuffer>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

void expect(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void writeBack(const QImage& image, uint8_t control) {
    static constexpr std::array<int, 5> depths = {-1, 0, 2, 16, 256};
    const int colors = depths[(control >> 2) % depths.size()];
    const QByteArray file = fx::VfxCreateDIBFileImage(image, colors);
    const QImage again = fx::VfxLoadBitmap(file);
    expect(again.size() == image.size());
    if (colors == -1 && image.depth() > 8) {
        const QImage a = image.convertToFormat(QImage::Format_RGB32);
        const QImage b = again.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                expect((a.pixel(x, y) & 0xFFFFFF) == (b.pixel(x, y) & 0xFFFFFF));
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t control = data[0];
    QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QImage image;
    try {
        if ((control & 3) == 0) {
            image = fx::VfxLoadBitmap(rest);
        } else {
            QBuffer in(&rest);
            in.open(QIODevice::ReadOnly);
            image = fx::VfxReadBitmap(in, (control & 3) == 2);
        }
    } catch (const fx::EInvalidGraphic& e) {
        expect(e.Message() == QStringLiteral("Bitmap image is not valid"));
        return 0;
    } catch (const plat::EReadError&) {
        expect((control & 3) != 0);
        return 0;
    }
    if (!image.isNull()) {
        writeBack(image, control);
    }
    return 0;
}
