#include "controls/QvBrowseFolder.h"

#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/Screens.h"
#include "platform/gui/WindowManager.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace ctl {

uint32_t CurrentShellVersion() {
    const uint32_t injected = ScopedShellVersion::Current();
    return injected != 0 ? injected : ShellVersion(6, 0);
}

uint32_t BrowseFlags(TOptionsDir options, uint32_t shellVersion) {
    struct Flag {
        TOptionsDirectory option;
        uint32_t flag;
        uint32_t needs;
    };
    static constexpr Flag kFlags[] = {
        {odNoBelowDomain, BIF_DONTGOBELOWDOMAIN, 0},
        {odSystemAncestorsOnly, BIF_RETURNFSANCESTORS, 0},
        {odFileSystemDirectoryOnly, BIF_RETURNONLYFSDIRS, 0},
        {odStatusAvailable, BIF_STATUSTEXT, 0},
        {odIncludeFiles, BIF_BROWSEINCLUDEFILES, ShellVersion(4, 71)},
        {odIncludeUrls, BIF_BROWSEINCLUDEURLS, ShellVersion(5, 0)},
        {odEditBox, BIF_EDITBOX, ShellVersion(4, 71)},
        {odNewDialogStyle, BIF_NEWDIALOGSTYLE, ShellVersion(5, 0)},
        {odShareable, BIF_SHAREABLE, ShellVersion(5, 0)},
    };
    uint32_t flags = 0;
    if (options & OptionBit(odBrowseForComputer)) {
        flags = BIF_BROWSEFORCOMPUTER;
    }
    if (options & OptionBit(odOnlyPrinters)) {
        flags = BIF_BROWSEFORPRINTER;
    }
    for (const Flag& f : kFlags) {
        if ((options & OptionBit(f.option)) && shellVersion >= f.needs) {
            flags |= f.flag;
        }
    }
    return flags;
}

QString RootFolderPath(TFromDirectory root) {
    const auto first = [](QStandardPaths::StandardLocation location) {
        return QStandardPaths::standardLocations(location).value(0);
    };
    switch (root) {
    case fdDesktopDirectory:
        return first(QStandardPaths::DesktopLocation);
    case fdPersonal:
        return first(QStandardPaths::DocumentsLocation);
    case fdFonts:
        return first(QStandardPaths::FontsLocation);
    case fdPrograms:
        return first(QStandardPaths::ApplicationsLocation);
    default:
        return {};
    }
}

} // namespace ctl

namespace {

// The file dialog inside: choosing a folder first asks the component.
class TFolderFileDialog : public QFileDialog {
public:
    TFolderFileDialog(QWidget* parent, std::function<bool(const QString&)> mayAccept)
        : QFileDialog(parent), mayAccept_(std::move(mayAccept)) {}

    void accept() override {
        bool allowed = true;
        plat::Guarded([&] { allowed = mayAccept_(selectedFiles().value(0)); });
        if (allowed) {
            QFileDialog::accept();
        }
    }

private:
    std::function<bool(const QString&)> mayAccept_;
};

void HideChild(QWidget* parent, const char* name) {
    if (auto* child = parent->findChild<QWidget*>(QLatin1String(name))) {
        child->hide();
    }
}

} // namespace

class TQvBrowseFolder::TDialog : public QDialog {
public:
    TDialog(QWidget* owner, TQvBrowseFolder& browse, uint32_t flags)
        : QDialog(owner), browse_(browse), flags_(flags) {
        setObjectName(QStringLiteral("BrowseFolderDialog"));
        setWindowTitle(QApplication::applicationDisplayName());
        setSizeGripEnabled((flags & ctl::BIF_NEWDIALOGSTYLE) != 0);
        auto* layout = new QVBoxLayout(this);

        title_ = new QLabel(browse.Title(), this);
        title_->setObjectName(QStringLiteral("TitleLabel"));
        title_->setWordWrap(true);
        title_->setTextFormat(Qt::PlainText);
        title_->setVisible(!browse.Title().isEmpty());
        layout->addWidget(title_);

        files_ = new TFolderFileDialog(this, [this](const QString& path) { return Accepts(path); });
        files_->setWindowFlags(Qt::Widget);
        files_->setOption(QFileDialog::DontUseNativeDialog);
        files_->setFileMode(QFileDialog::Directory);
        files_->setOption(QFileDialog::ShowDirsOnly, !(flags & ctl::BIF_BROWSEINCLUDEFILES));
        HideChild(files_, "fileTypeCombo");
        HideChild(files_, "fileTypeLabel");
        if (!(flags & ctl::BIF_EDITBOX)) {
            HideChild(files_, "fileNameEdit");
            HideChild(files_, "fileNameLabel");
        }
        if (!(flags & ctl::BIF_NEWDIALOGSTYLE)) {
            HideChild(files_, "newFolderButton");
        }
        layout->addWidget(files_);

        status_ = new QLabel(this);
        status_->setObjectName(QStringLiteral("StatusLabel"));
        status_->setTextFormat(Qt::PlainText);
        status_->setVisible((flags & ctl::BIF_STATUSTEXT) != 0);
        layout->addWidget(status_);

        const QString start = StartFolder();
        if (!start.isEmpty()) {
            files_->setDirectory(start);
        }
        // The folder shown changes however it was entered (the model follows
        // it); an item chosen inside it is the current one.
        if (auto* model = files_->findChild<QFileSystemModel*>()) {
            connect(model, &QFileSystemModel::rootPathChanged, this,
                    [this](const QString& path) { SelectionChanged(path); });
        }
        connect(files_, &QFileDialog::currentChanged, this,
                [this](const QString& path) { SelectionChanged(path); });
        connect(files_, &QDialog::finished, this, [this](int result) { done(result); });
    }

    QString ChosenPath() const { return files_->selectedFiles().value(0); }

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (event->spontaneous()) {
            return;
        }
        plat::Guarded([&] { Place(); });
        // The handlers hear of the folder the dialog opens on, as of every
        // other, and may refuse it.
        SelectionChanged(files_->directory().absolutePath());
        QMetaObject::invokeMethod(
            this,
            [this] {
                plat::Guarded([&] {
                    if (browse_.OnInitialized) {
                        browse_.OnInitialized(&browse_);
                    }
                });
            },
            Qt::QueuedConnection);
    }

private:
    // The preselected folder when it exists, else the root's folder.
    QString StartFolder() const {
        QString directory = browse_.Directory();
        if (!directory.isEmpty() && QFileInfo(directory).isDir()) {
            return directory;
        }
        return ctl::RootFolderPath(browse_.RootDirectory());
    }

    bool Accepts(const QString& path) {
        bool accept = true;
        if (browse_.OnAcceptChange) {
            browse_.OnAcceptChange(&browse_, path, accept);
        }
        return accept;
    }

    void SelectionChanged(const QString& path) {
        if (path == selected_) {
            return;
        }
        selected_ = path;
        plat::Guarded([&] {
            const bool accept = Accepts(path);
            if (auto* box = files_->findChild<QDialogButtonBox*>()) {
                for (QAbstractButton* button : box->buttons()) {
                    if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) {
                        button->setEnabled(accept);
                    }
                }
            }
            UpdateStatus(path);
            if (browse_.OnChange) {
                browse_.OnChange(&browse_, path);
            }
        });
    }

    void UpdateStatus(const QString& path) {
        if (!(flags_ & ctl::BIF_STATUSTEXT)) {
            return;
        }
        if (!browse_.StatusText().isEmpty()) {
            status_->setText(browse_.StatusText());
            return;
        }
        const int width = this->width() - 2 * status_->x() - 8;
        status_->setText(
            plat::EllipsizeText(status_->fontMetrics(), path, width, plat::DT_PATH_ELLIPSIS));
    }

    void Place() {
        const plat::TRect work = plat::CurrentScreens().PrimaryRect(true);
        const int w = width();
        const int h = height();
        switch (browse_.Position()) {
        case fpDefault:
            return;
        case fpScreenCenter:
            // From the screen's origin, as the dialog has always been placed.
            move((work.Width() - w) / 2, (work.Height() - h) / 2);
            return;
        case fpFormCenter:
            if (QWidget* owner = parentWidget()) {
                const QRect frame = owner->window()->frameGeometry();
                move(frame.x() + (frame.width() - w) / 2, frame.y() + (frame.height() - h) / 2);
            }
            return;
        case fpTopLeft:
            move(work.Left, work.Top);
            return;
        case fpTopRight:
            move(work.Right - w, work.Top);
            return;
        case fpBottomLeft:
            move(work.Left, work.Bottom - h);
            return;
        case fpBottomRight:
            move(work.Right - w, work.Bottom - h);
            return;
        }
    }

    TQvBrowseFolder& browse_;
    uint32_t flags_;
    QLabel* title_;
    TFolderFileDialog* files_;
    QLabel* status_;
    QString selected_; // what the handlers were last told
};

TQvBrowseFolder::TQvBrowseFolder(QObject* owner) : TQvCommonDialog(owner) {}

TQvBrowseFolder::~TQvBrowseFolder() = default;

QDialog* TQvBrowseFolder::Dialog() const {
    return dialog_;
}

bool TQvBrowseFolder::Execute() {
    const uint32_t shell = ctl::CurrentShellVersion();
    if (shell < ctl::ShellVersion(4, 0)) {
        throw EQvException(QStringLiteral("Shell not compatible with BrowseForFolder"));
    }
    // The form holding the component, else the active window, else the
    // window with the focus.
    QWidget* owner = nullptr;
    if (auto* widget = qobject_cast<QWidget*>(parent())) {
        owner = widget->window();
    } else if (QWidget* active = QApplication::activeWindow()) {
        owner = active;
    } else if (QWidget* focus = QApplication::focusWidget()) {
        owner = focus->window();
    }
    TDialog dialog(owner, *this, ctl::BrowseFlags(options_, shell));
    dialog_ = &dialog;
    const int result = plat::ExecModal(dialog);
    dialog_ = nullptr;
    if (result != QDialog::Accepted) {
        return false;
    }
    const QString path = dialog.ChosenPath();
    if (path.isEmpty()) {
        return false;
    }
    directory_ = QDir::cleanPath(path);
    const QString name = QFileInfo(directory_).fileName();
    displayName_ = name.isEmpty() ? directory_ : name;
    return true;
}
