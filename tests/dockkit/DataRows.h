#pragma once
// Rows of expected values kept under tests/data/dockkit: one row a line,
// fields separated by tabs; blank lines and lines starting with '#' are
// skipped. A row's fields joined by " | " name it in a failure.

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

inline std::vector<QStringList> DataRows(const char* name, qsizetype fields) {
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/dockkit/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    std::vector<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.isEmpty() && !line.startsWith(u'#')) {
            rows.push_back(line.split(u'\t'));
            EXPECT_EQ(rows.back().size(), fields) << name << ": " << line.toStdString();
            rows.back().resize(fields);
        }
    }
    EXPECT_FALSE(rows.empty()) << name;
    return rows;
}

// The numbers of a field written "1,-2,3".
inline QList<int> Numbers(const QString& field) {
    QList<int> numbers;
    for (const QString& n : field.split(u',')) {
        numbers << n.toInt();
    }
    return numbers;
}

// Names the row in every failure of the scope.
#define SCOPED_ROW(row) SCOPED_TRACE((row).join(QStringLiteral(" | ")).toStdString())
