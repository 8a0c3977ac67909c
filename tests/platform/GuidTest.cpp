#include "platform/core/Guid.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

TEST(Guid, HasTheBracedUpperCaseFormAndIsFresh) {
    static const QRegularExpression form(
        "^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$");
    QSet<QString> seen;
    for (int i = 0; i < 200; ++i) {
        const QString guid = plat::NewGuidString();
        ASSERT_EQ(guid.size(), 38);
        ASSERT_TRUE(form.match(guid).hasMatch()) << guid.toStdString();
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 200);
}
