// Whois lookups: starting one for a character and writing what it found
// into the console.
#include "app/mainform/MainForm.h"

#include "app/dialogs/DialogSupport.h"
#include "app/format/ColorCodes.h"
#include "app/whois/VLWhoisThread.h"
#include "console/QvConsole/QvConsole.h"
#include "strings/TextRoutines.h"

namespace {

// Everything in a lookup's result comes from the web site or the input line:
// text is shown as text, never as markup.
QString Text(QStringView value) {
    return EscapeMarkup(value);
}

// A web address as a double-quoted attribute value: the characters that would
// end the value or the tag are percent-encoded, so the address still works.
QString UrlAttribute(QString url) {
    return url.replace(u'"', QStringLiteral("%22")).replace(u'>', QStringLiteral("%3E"));
}

} // namespace

void TMainForm::ShowWhois(const QString& name) {
    // Only the first two built-in dimensions have a number on the web site.
    const qsizetype position = VLChat->DimensionList().IndexOf(VLChat->Dimension().get());
    if (position != 0 && position != 1) {
        dlg::InformationBox(this, QStringLiteral("Whois information is only available on the "
                                                 "Ostrelian and Vassa \r\nDimensions."));
        return;
    }
    auto* lookup = new TVLWhoisThread;
    lookup->SetCharName(name);
    lookup->SetDimensionID(static_cast<int>(position) + 1);
    lookup->SetFreeOnTerminate(true);
    lookup->OnTerminate = [this](TVLWhoisThread* sender) { OnWhoisTerminate(sender); };
    lookup->Resume();
}

void TMainForm::OnWhoisTerminate(QObject* Sender) {
    const auto* lookup = qobject_cast<const TVLWhoisThread*>(Sender);
    if (!lookup) {
        return;
    }
    if (!lookup->Success()) {
        AddErrorLine(QStringLiteral("Unknown character: ") + Text(lookup->CharName()));
        return;
    }
    const QString valueFont = QStringLiteral("<font color=\"#") +
                              ColorToHex(Settings.OutputMemo.Font.Color) + QStringLiteral("\">");
    const auto write = [this](const QString& line) {
        AddConsoleLine(line, MessageColor::Whois, true);
    };
    const auto field = [&](const char* label, const QString& value) {
        write(QLatin1String(label) + QStringLiteral(" : ") + valueFont + value +
              QStringLiteral("</font>"));
    };

    write(QStringLiteral("Information for <a name=\"charurl\" hint=\"Display ") +
          AttributeText(lookup->CharName()) + QStringLiteral("'s bio\" params=\"") +
          UrlAttribute(lookup->BioURL()) + QStringLiteral("\">") +
          Text(txt::Trim(lookup->FullName())) + QStringLiteral("</a>"));
    field("Level", QString::number(lookup->Level()));
    field("Breed", Text(txt::Trim(lookup->Breed())));
    field("Gender", Text(txt::Trim(lookup->Gender())));
    field("Faction", Text(txt::Trim(lookup->Faction())));
    field("Profession", Text(txt::Trim(lookup->Profession())));

    if (lookup->OrgName().isEmpty()) {
        return;
    }
    QString line;
    if (!lookup->Rank().isEmpty()) {
        line = Text(lookup->Rank()) + QStringLiteral(" of ");
    }
    if (!lookup->OrgURL().isEmpty()) {
        line += QStringLiteral("<a name=\"guildurl\" hint=\"Display ") +
                AttributeText(lookup->OrgName()) + QStringLiteral("'s roster\" params=\"") +
                UrlAttribute(lookup->OrgURL()) + QStringLiteral("\">") + Text(lookup->OrgName()) +
                QStringLiteral("</a>");
    } else {
        line += Text(lookup->OrgName());
    }
    line = txt::Trim(line);
    if (!line.isEmpty()) {
        write(line);
    }
}
