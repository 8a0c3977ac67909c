#pragma once
// Rows of expected values kept under tests/data: one row a line, fields
// separated by tabs; blank lines and lines starting with '#' are skipped.

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

inline std::vector<QStringList> DataRows(const char* path, qsizetype fields) {
    QFile file(QStringLiteral(QV_TEST_DATA_DIR "/") + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    std::vector<QStringList> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.isEmpty() && !line.startsWith(u'#')) {
            rows.push_back(line.split(u'\t'));
            EXPECT_EQ(rows.back().size(), fields) << line.toStdString();
            rows.back().resize(fields);
        }
    }
    EXPECT_FALSE(rows.empty()) << path;
    return rows;
}
