#include "MainFormTestSupport.h"

#include "app/dialogs/AboutForm.h"
#include "app/whois/VLWhoisThread.h"
#include "effects/core/VfxLinuxSysInfo.h"
#include "effects/gui/application/VfxApplication.h"
#include "effects/gui/controls/VfxInfoLabel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Memory figures the test decides.
class FakeMemory : public fx::TVfxLinuxSystemInfo {
public:
    fx::TVfxMemoryStatus MemoryStatus() override {
        fx::TVfxMemoryStatus status;
        status.TotalPhys = 25274781696ull;
        status.AvailPhys = 5368709120ull;
        return status;
    }
};

class AboutBox : public ::testing::Test {
public:
    AboutBox() : scope_(&app_) { fx::VfxSetSystemInfoProvider(&memory_); }
    ~AboutBox() override { fx::VfxSetSystemInfoProvider(nullptr); }

protected:
    fx::TVfxApplication app_;
    FakeMemory memory_;

private:
    fx::ScopedVfxApplication scope_;
};

TEST_F(AboutBox, TextsAndMemoryFigures) {
    TAboutForm form;
    // the design text is replaced by the version read from the test
    // program's own file, stamped 2.1.0.57
    EXPECT_EQ(form.VersionLabel->text(), QStringLiteral("2.1.0 (Build 57)"));

    EXPECT_EQ(form.VfxInformationLabel1->GetLabelText(),
              QStringLiteral("Physical Memory Available to Windows:\t25274781696"));
    EXPECT_EQ(form.VfxInformationLabel2->GetLabelText(),
              QStringLiteral("Physical Memory Free                   \t5368709120"));
    for (const fx::TVfxInformationLabel* label :
         {form.VfxInformationLabel1, form.VfxInformationLabel2}) {
        // registered with the kit's timers, never refreshed by them
        ASSERT_NE(app_.Timer(label->TimerId()), nullptr);
        EXPECT_FALSE(app_.Timer(label->TimerId())->Enabled());
    }
}

TEST_F(AboutBox, LabelsAreDrawnWithTheirValues) {
    TAboutForm form;
    form.adjustSize();
    const QImage image = form.VfxInformationLabel1->grab().toImage();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qGray(image.pixel(x, y)) < 64;
        }
    }
    EXPECT_GT(ink, 20);
    EXPECT_GE(form.VfxInformationLabel1->width(), 360);
}

TEST_F(AboutBox, VersionLine) {
    EXPECT_EQ(TAboutForm::VersionString(TProgramVersion{2, 1, 0, 57}),
              QStringLiteral("2.1.0 (Build 57)"));
    EXPECT_EQ(TAboutForm::VersionString(TProgramVersion{65535, 0, 7, 65535}),
              QStringLiteral("65535.0.7 (Build 65535)"));
    EXPECT_EQ(TAboutForm::VersionString(std::nullopt), QString());
    // a file without a version note gives an empty line
    QTemporaryFile plain;
    ASSERT_TRUE(plain.open());
    plain.write("#!/bin/sh\nexit 0\n");
    plain.close();
    EXPECT_FALSE(ProgramFileVersion(plain.fileName()).has_value());
    EXPECT_EQ(TAboutForm::VersionString(ProgramFileVersion(plain.fileName())), QString());
    const auto own = ProgramFileVersion(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(own.has_value());
    EXPECT_EQ(own->Build, 57);
}

TEST_F(AboutBox, ClickingTheSiteOpensItAndOkCloses) {
    UrlCatcher catcher;
    ModalScript script;
    script.Then<TAboutForm>([](TAboutForm& form) {
        QTest::mouseClick(form.Label2, Qt::LeftButton);
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
    });
    TAboutForm::Execute(nullptr);
    EXPECT_EQ(script.Ran, 1);
    EXPECT_EQ(catcher.Opened, QStringList{QUrl(TVLWhoisThread::DefaultSite()).toString()});
}

} // namespace
