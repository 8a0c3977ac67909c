#pragma once
// Rows of expected values kept under tests/data/dockkit: one row a line,
// fields separated by tabs; blank lines and lines starting with '#' are
// skipped. A row's fields joined by " | " name it in a failure.

#include "GoldenRows.h"

#include <QStringList>

#include <string>
#include <vector>

// The rows of tests/data/dockkit/<name>.
inline std::vector<QStringList> DataRows(const char* name, qsizetype fields) {
    return GoldenTextRows(("dockkit/" + std::string(name)).c_str(), fields);
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
