// Arbitrary bytes through the reference file reader; what it read goes
// through the writer and is read again, which must give the same text with
// the same colours and styles.
#include "app/rtf/Rtf.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <vector>

namespace {

QGuiApplication* app = nullptr;

// Each character with its colour (-1 for the default) and styles.
std::vector<std::tuple<char16_t, int64_t, bool, bool, bool>> characters(const QTextDocument& d) {
    std::vector<std::tuple<char16_t, int64_t, bool, bool, bool>> result;
    for (QTextBlock block = d.begin(); block.isValid(); block = block.next()) {
        result.emplace_back(0x2029, -1, false, false, false);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QBrush brush = format.foreground();
            const int64_t color =
                brush.style() == Qt::NoBrush ? -1 : brush.color().rgb() & 0xFFFFFF;
            for (const QChar ch : it.fragment().text()) {
                result.emplace_back(ch.unicode(), color, format.fontWeight() >= QFont::Bold,
                                    format.fontItalic(), format.fontUnderline());
            }
        }
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument first;
    rtf::Read(bytes, first);
    const QByteArray written = rtf::Write(first);
    if (!rtf::IsRtf(written)) {
        std::abort();
    }
    QTextDocument second;
    rtf::Read(written, second);
    if (characters(first) != characters(second)) {
        std::abort();
    }
    return 0;
}
