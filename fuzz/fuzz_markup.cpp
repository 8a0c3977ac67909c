// Feeds arbitrary lines to the console: markup parsing, URL detection,
// layout and painting. The first byte picks the options.
#include "console/MarkupParser.h"
#include "console/QvConsole/QvConsole.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exception.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

namespace {

QApplication* app = nullptr;
TQvConsole* console = nullptr;
plat::ImageList* images = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = new QApplication(*argc, *argv);
    images = new plat::ImageList(5, 7);
    QImage glyph(5, 7, QImage::Format_ARGB32);
    glyph.fill(Qt::red);
    images->Add(glyph);
    images->Add(glyph);
    console = new TQvConsole();
    console->resize(160, 90);
    console->SetLimit(40);
    console->SetImageList(images);
    console->show();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t options = data[0];
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1),
                               static_cast<qsizetype>(size - 1));
    const QString markup = (options & 0x80) ? QString::fromUtf8(bytes) : plat::FromCp1252(bytes);
    const auto ws = static_cast<TQvConsoleWhitespace>((options & 3) % 3);

    // The parser alone, with both settings of empty-line timestamps.
    try {
        TChunkList line = ParseMarkup(markup, TParseOptions{ws, (options & 4) != 0});
        DetectURLs(line);
        for (const TConsoleChunk& c : line.Chunks) {
            if (c.Kind == ckText && c.Start + c.Length > line.Pool.Size()) {
                std::abort();
            }
        }
    } catch (const plat::EConvertError&) {
    }

    // The whole console: add, lay out, paint, and sometimes replace the line.
    console->SetWhitespace(ws);
    console->SetTimestampVisible((options & 8) != 0);
    console->SetIndentType(static_cast<TIndentType>((options >> 4) % 3));
    console->SetLineSpacing((options & 0x40) ? 2 : 0);
    try {
        TMessageNode* line = console->AddLine(markup, nullptr, (options & 0x20) != 0);
        if (line && (options & 0x44) == 0x44) {
            console->SetLineText(line, markup.left(markup.size() / 2), true);
        }
    } catch (const plat::EConvertError&) {
    }
    QImage canvas(console->viewport()->size(), QImage::Format_RGB32);
    console->viewport()->render(&canvas);
    // Queued moves of the painted lines, window paints and timers.
    QCoreApplication::processEvents();
    return 0;
}
