#include "MainFormTestSupport.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "console/QvConsole.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace mainformtest {

QString Line(const char* color, const QString& text) {
    return QStringLiteral(
               "<noselect><font color=\"#808080\">[15:07]</font>&nbsp;</noselect><indent>"
               "<font color=\"#%1\">")
               .arg(QLatin1String(color)) +
           text + QStringLiteral("</font>");
}

QString CharLink(const QString& name) {
    return QStringLiteral("<a name=\"charlink\" params=\"%1\" hint=\"Query %1\">%1</a>").arg(name);
}

void ProcessPosted() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void MainFormTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    hadConfig_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    TMainFormTestSeam::StoreConsoleText = true;
    modalRunner_ = std::make_unique<dlg::ScopedModalRunner>([this](QDialog& dialog) {
        if (auto* chars = qobject_cast<TCharSelForm*>(&dialog)) {
            events << QStringLiteral("chars");
            preselected = chars->Character();
            if (!characterAnswer) {
                return int(QDialog::Rejected);
            }
            chars->CharacterCombobox->setEditText(*characterAnswer);
            return int(QDialog::Accepted);
        }
        auto* login = qobject_cast<TLoginForm*>(&dialog);
        if (!login) {
            ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
            return int(QDialog::Rejected);
        }
        events << QStringLiteral("login");
        if (!loginAnswer) {
            return int(QDialog::Rejected);
        }
        login->DimensionCombobox->setCurrentIndex(
            login->DimensionCombobox->findText(loginAnswer->Dimension));
        login->UserCombobox->setEditText(loginAnswer->User);
        login->PasswordEdit->setText(loginAnswer->Password);
        login->SaveCheckbox->setChecked(loginAnswer->Remember);
        return int(QDialog::Accepted);
    });
    boxHandler_ = std::make_unique<plat::ScopedMsgBoxHandler>([this](const plat::MsgBoxRequest& r) {
        events << QStringLiteral("box");
        boxes.push_back(r);
        return plat::MsgResult::Ok;
    });
}

void MainFormTest::TearDown() {
    form.reset();
    stored_.reset();
    boxHandler_.reset();
    modalRunner_.reset();
    TMainFormTestSeam::StoreConsoleText = false;
    while (TMainForm::BusyCount() > 0) {
        TMainForm::EndBusy();
    }
    if (hadConfig_) {
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

plat::Registry& MainFormTest::Stored() {
    if (!stored_) {
        stored_ = std::make_unique<plat::Registry>();
    }
    return *stored_;
}

plat::Registry::Key MainFormTest::StoredRoot() {
    return *Stored().OpenKey({}, true);
}

TMainForm& MainFormTest::Create() {
    if (stored_) {
        EXPECT_TRUE(stored_->Save());
        stored_.reset();
    }
    form = std::make_unique<TMainForm>();
    form->Formatter().Now = [] { return QDateTime(QDate(2024, 5, 6), QTime(15, 7)); };
    return *form;
}

void MainFormTest::ShowAndActivate() {
    form->show();
    ProcessPosted();
}

std::unique_ptr<plat::Registry> MainFormTest::DestroyAndReload() {
    form.reset();
    return std::make_unique<plat::Registry>();
}

QStringList MainFormTest::ConsoleLines() const {
    QStringList lines;
    for (const TMessageNode* line = form->OutputMemo->FirstLine(); line; line = line->Next) {
        lines << line->Text;
    }
    return lines;
}

} // namespace mainformtest
