#pragma once
// Rows of expected values kept under tests/data: one row a line, fields
// separated by tabs; blank lines and lines starting with '#' are skipped.
// Fields may hold the escapes \t \r \n \\ and \xHH (one byte).

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline QByteArray Unescaped(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        const char next = i + 1 < field.size() ? field[i + 1] : '\0';
        if (c != '\\' || next == '\0') {
            out += c;
        } else if (next == 'x' && i + 3 < field.size()) {
            out += char(field.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            out += next == 't' ? '\t' : next == 'r' ? '\r' : next == 'n' ? '\n' : next;
            ++i;
        }
    }
    return out;
}

// The rows of tests/data/<path>, each with `fields` fields as they stand.
inline std::vector<QList<QByteArray>> GoldenRawRows(const char* path, qsizetype fields) {
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/") + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    std::vector<QList<QByteArray>> rows;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        QList<QByteArray> row = line.split('\t');
        EXPECT_EQ(row.size(), fields) << line.constData();
        row.resize(fields);
        rows.push_back(row);
    }
    EXPECT_FALSE(rows.empty()) << path;
    return rows;
}

// The same rows with their fields unescaped.
inline std::vector<QList<QByteArray>> GoldenRows(const char* path, qsizetype fields) {
    std::vector<QList<QByteArray>> rows = GoldenRawRows(path, fields);
    for (QList<QByteArray>& row : rows) {
        for (QByteArray& field : row) {
            field = Unescaped(field);
        }
    }
    return rows;
}

// The rows of tests/data/<path> as text, each with `fields` fields taken as
// they stand (no escapes).
inline std::vector<QStringList> GoldenTextRows(const char* path, qsizetype fields) {
    std::vector<QStringList> rows;
    for (const QList<QByteArray>& raw : GoldenRawRows(path, fields)) {
        QStringList row;
        for (const QByteArray& field : raw) {
            row << QString::fromUtf8(field);
        }
        rows.push_back(row);
    }
    return rows;
}

// A row as a test's parameter prints as its fields.
inline void PrintTo(const QList<QByteArray>& row, std::ostream* os) {
    *os << row.join(" | ").constData();
}
