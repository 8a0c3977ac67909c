#include "app/dialogs/AboutForm.h"

#include "app/common/ProgramIcon.h"
#include "app/dialogs/DialogSupport.h"
#include "app/whois/VLWhoisThread.h"
#include "controls/QvFileVersion.h"
#include "effects/gui/controls/VfxInfoLabel.h"
#include "platform/core/Guarded.h"
#include "platform/gui/Shell.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

std::optional<TProgramVersion> ProgramFileVersion(const QString& fileName) {
    TQvFileVersion reader;
    if (!reader.GetFileVersion(fileName)) {
        return std::nullopt;
    }
    return TProgramVersion{reader.Major(), reader.Minor(), reader.Release(), reader.Build()};
}

QString TAboutForm::VersionString(const std::optional<TProgramVersion>& version) {
    if (!version) {
        return {};
    }
    return QStringLiteral("%1.%2.%3 (Build %4)")
        .arg(version->Major)
        .arg(version->Minor)
        .arg(version->Release)
        .arg(version->Build);
}

QString TAboutForm::GetVersionString() {
    // The program file itself (the first command-line item may be a bare name).
    return VersionString(ProgramFileVersion(QCoreApplication::applicationFilePath()));
}

namespace {

fx::TVfxInformationLabel* MemoryLabel(QWidget* parent, fx::TVfxInfoType info,
                                      const QString& caption) {
    auto* label = new fx::TVfxInformationLabel(parent);
    label->SetAutoSize(false);
    label->SetUseStandardCaption(false);
    label->SetDateTimeFormat(QStringLiteral("M/d/yyyy"));
    label->SetCaption(caption);
    label->SetInfo(info);
    label->setMinimumSize(360, label->fontMetrics().height() + 2);
    return label;
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About ZELVO"));

    Image1 = new QLabel(this);
    Image1->setFixedSize(32, 32);
    Image1->setPixmap(ProgramIcon().pixmap(32, 32));

    ProductLabel = new QLabel(QStringLiteral("Quorvel"), this);
    QFont bold = ProductLabel->font();
    bold.setBold(true);
    ProductLabel->setFont(bold);

    VersionLabel = new QLabel(QStringLiteral("Version 1.0.0.0"), this);

    Label2 = new QLabel(TVLWhoisThread::DefaultSite(), this);
    QPalette blue = Label2->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label2->setPalette(blue);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    VfxInformationLabel1 =
        MemoryLabel(this, fx::itMemSize, QStringLiteral("Physical Memory Available to Windows:"));
    VfxInformationLabel2 = MemoryLabel(this, fx::itMemFree32,
                                       QStringLiteral("Physical Memory Free                   "));

    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setDefault(true);

    auto* names = new QVBoxLayout;
    names->addWidget(ProductLabel);
    names->addWidget(VersionLabel);
    names->addWidget(Label2);
    auto* header = new QHBoxLayout;
    header->addWidget(Image1, 0, Qt::AlignTop);
    header->addSpacing(8);
    header->addLayout(names, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(Bevel1);
    layout->addWidget(VfxInformationLabel1);
    layout->addWidget(VfxInformationLabel2);
    layout->addLayout(buttons);
    // A single border with the system menu only, centred on the main
    // window's monitor.
    dlg::SetDialogBorder(*this, false);
    dlg::CenterWhenShown(*this);

    plat::ConnectGuarded(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });

    // FormCreate
    VersionLabel->setText(GetVersionString());
}

void TAboutForm::Execute(QWidget* parent) {
    TAboutForm form(parent);
    dlg::RunModal(form);
}

void TAboutForm::Label2Click() {
    plat::ShellOpenUrl(Label2->text());
}

void TAboutForm::OkButtonClick() {
    done(QDialog::Accepted);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        plat::Guarded([&] { Label2Click(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
