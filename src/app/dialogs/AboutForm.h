#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;

namespace fx {
class TVfxInformationLabel;
}

// A program version: major.minor.release and build.
struct TProgramVersion {
    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
};

// The version read from a program file's version note; nothing when the file
// has none (or cannot be read).
std::optional<TProgramVersion> ProgramFileVersion(const QString& fileName);

// "About ZELVO": the program's name and version, the game web site and two
// memory figures of the effects kit's information labels.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Creates the box, runs it modally and frees it.
    static void Execute(QWidget* parent);

    // The running program's version, read from its file, as the box shows
    // it: major.minor.release " (Build " build ")"; empty when the file has
    // no version.
    static QString GetVersionString();
    static QString VersionString(const std::optional<TProgramVersion>& version);

    // Opens the web site shown in Label2 with the user's browser.
    void Label2Click();
    void OkButtonClick();

    QLabel* Image1;
    QLabel* ProductLabel;
    QLabel* VersionLabel;
    QLabel* Label2;
    fx::TVfxInformationLabel* VfxInformationLabel1;
    fx::TVfxInformationLabel* VfxInformationLabel2;
    QFrame* Bevel1;
    QPushButton* OkButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
