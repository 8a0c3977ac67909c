#include "GoldenPicture.h"

#include "PixelPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

bool UpdateMode() {
    const QByteArray value = qgetenv("QV_UPDATE_GOLDEN");
    return !value.isEmpty() && value != "0";
}

QString ColourText(QRgb c) {
    return qAlpha(c) == 255
               ? QStringLiteral("%1").arg(c & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper()
               : QStringLiteral("%1").arg(c, 8, 16, QLatin1Char('0')).toUpper();
}

// Letters for the colours of an image: the classic legend's where it has one,
// then letters and digits in order.
std::map<QRgb, QChar> Letters(const QImage& image, std::map<QRgb, QChar> letters = {}) {
    QString used;
    for (const auto& [colour, letter] : letters) {
        used += letter;
    }
    static const QString spare =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCEIJLMNOPQRSTUVXYZ0123456789+*=%$");
    int next = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (letters.count(c) != 0) {
                continue;
            }
            QChar letter;
            const auto classic = ClassicLegend().find(c);
            if (classic != ClassicLegend().end() && !used.contains(QLatin1Char(classic->second))) {
                letter = QLatin1Char(classic->second);
            } else {
                while (next < spare.size() && used.contains(spare[next])) {
                    ++next;
                }
                letter = next < spare.size() ? spare[next] : QLatin1Char('?');
            }
            letters[c] = letter;
            used += letter;
        }
    }
    return letters;
}

QStringList Rows(const QImage& image, const std::map<QRgb, QChar>& letters) {
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            row += letters.at(image.pixel(x, y));
        }
        rows << row;
    }
    return rows;
}

bool WriteFile(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    file.write(text.toUtf8());
    return true;
}

} // namespace

QString GoldenText(const QImage& source, const QString& comment) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const std::map<QRgb, QChar> letters = Letters(image);
    QString text;
    QTextStream out(&text);
    for (const QString& line : comment.split(u'\n', Qt::SkipEmptyParts)) {
        out << "# " << line << "\n";
    }
    out << "size " << image.width() << " " << image.height() << "\n";
    // Legend in letter order, so that a diff of two versions stays small.
    std::map<QChar, QRgb> byLetter;
    for (const auto& [colour, letter] : letters) {
        byLetter[letter] = colour;
    }
    for (const auto& [letter, colour] : byLetter) {
        out << "colour " << letter << " " << ColourText(colour) << "\n";
    }
    out << "pixels\n";
    for (const QString& row : Rows(image, letters)) {
        out << row << "\n";
    }
    return text;
}

QImage ParseGolden(const QString& text, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error != nullptr) {
            *error = why;
        }
        return QImage();
    };
    const QStringList lines = text.split(u'\n');
    int width = -1;
    int height = -1;
    std::map<QChar, QRgb> colours;
    int at = 0;
    for (; at < lines.size(); ++at) {
        const QString line = lines[at].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (words[0] == u"size" && words.size() == 3) {
            width = words[1].toInt();
            height = words[2].toInt();
        } else if (words[0] == u"colour" && words.size() == 3 && words[1].size() == 1) {
            bool ok = false;
            QRgb c = words[2].toUInt(&ok, 16);
            if (!ok || (words[2].size() != 6 && words[2].size() != 8)) {
                return fail(QStringLiteral("bad colour line: %1").arg(line));
            }
            if (words[2].size() == 6) {
                c |= 0xFF000000u;
            }
            colours[words[1][0]] = c;
        } else if (words[0] == u"pixels") {
            ++at;
            break;
        } else {
            return fail(QStringLiteral("unknown line: %1").arg(line));
        }
    }
    if (width <= 0 || height <= 0) {
        return fail(QStringLiteral("no size line"));
    }
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y, ++at) {
        if (at >= lines.size() || lines[at].size() != width) {
            return fail(
                QStringLiteral("row %1 is missing or not %2 letters wide").arg(y).arg(width));
        }
        for (int x = 0; x < width; ++x) {
            const auto it = colours.find(lines[at][x]);
            if (it == colours.end()) {
                return fail(QStringLiteral("letter '%1' at (%2, %3) has no colour")
                                .arg(lines[at][x])
                                .arg(x)
                                .arg(y));
            }
            image.setPixel(x, y, it->second);
        }
    }
    return image;
}

::testing::AssertionResult MatchesGolden(const QImage& source, const QString& path) {
    const QImage actual = source.convertToFormat(QImage::Format_ARGB32);
    if (UpdateMode()) {
        if (!WriteFile(path, GoldenText(actual, QFileInfo(path).completeBaseName()))) {
            return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
        }
        std::fprintf(stderr, "golden picture written: %s\n", qPrintable(path));
        return ::testing::AssertionSuccess();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return ::testing::AssertionFailure() << "no golden picture " << path.toStdString()
                                             << " (run with QV_UPDATE_GOLDEN=1 to write it)";
    }
    QString error;
    const QImage expected = ParseGolden(QString::fromUtf8(file.readAll()), &error);
    if (expected.isNull()) {
        return ::testing::AssertionFailure() << path.toStdString() << ": " << error.toStdString();
    }
    // Written only when the pictures differ, for a diff against the golden one.
    const auto where = [&] {
        const QString actualPath =
            QDir::current().filePath(QStringLiteral("golden-actual/") + QFileInfo(path).fileName());
        return WriteFile(actualPath, GoldenText(actual, QFileInfo(path).completeBaseName()))
                   ? " (actual picture: " + actualPath.toStdString() + ")"
                   : std::string();
    };
    if (expected.size() != actual.size()) {
        return ::testing::AssertionFailure()
               << path.toStdString() << ": size " << actual.width() << "x" << actual.height()
               << ", golden " << expected.width() << "x" << expected.height() << where();
    }
    // Both pictures in the golden picture's letters, new colours added.
    std::map<QRgb, QChar> letters = Letters(expected);
    letters = Letters(actual, letters);
    const QStringList want = Rows(expected, letters);
    const QStringList got = Rows(actual, letters);
    int differing = 0;
    std::string report;
    int shown = 0;
    for (int y = 0; y < expected.height(); ++y) {
        if (want[y] == got[y]) {
            continue;
        }
        for (int x = 0; x < expected.width(); ++x) {
            differing += want[y][x] != got[y][x] ? 1 : 0;
        }
        if (shown++ < 8) {
            QString marks;
            for (int x = 0; x < expected.width(); ++x) {
                marks += want[y][x] != got[y][x] ? u'^' : u' ';
            }
            report += QStringLiteral("\n  row %1\n    golden %2\n    actual %3\n           %4")
                          .arg(y, 3)
                          .arg(want[y], got[y], marks)
                          .toStdString();
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    std::string legend;
    for (const auto& [colour, letter] : letters) {
        legend += " " + QString(letter).toStdString() + "=" + ColourText(colour).toStdString();
    }
    return ::testing::AssertionFailure()
           << path.toStdString() << ": " << differing << " pixels differ" << where() << "\n  legend"
           << legend << report;
}
