// The chat log files as the main window writes them: one line per logged
// console line, the start and stop headers, and one red line when a log
// file cannot be written.
#include "app/mainform/MainForm.h"

namespace {

// The files in header order.
constexpr TChatLog kLogFiles[] = {TChatLog::Groups, TChatLog::Private, TChatLog::PrivateGroups,
                                  TChatLog::System, TChatLog::Errors};

} // namespace

bool TMainForm::LogEnabled(TChatLog log) const {
    if (!Settings.Logging) {
        return false;
    }
    switch (log) {
    case TChatLog::Groups:
        return Settings.LogGroup;
    case TChatLog::Private:
        return Settings.LogPrivate;
    case TChatLog::PrivateGroups:
        return Settings.LogPrivateGroup;
    case TChatLog::System:
        return Settings.LogSystem;
    case TChatLog::Errors:
        return Settings.LogError;
    case TChatLog::None:
        break;
    }
    return false;
}

void TMainForm::WriteLog(const QString& fileName, const QString& text, bool withTimePrefix) {
    if (!Settings.Logging) {
        return;
    }
    LogWriter.SetFolder(Settings.LoggingFolder);
    const TLogAppend result =
        LogWriter.Append(fileName, FormatLogLine(text, withTimePrefix && Settings.TimestampLogging,
                                                 formatter_.Now()));
    if (!result.Report.isEmpty()) {
        // Shown, never logged: the failing file may be errors.log itself.
        AddConsoleLine(EscapeMarkup(result.Report), MessageColor::Error, true);
    }
}

void TMainForm::LogLine(const TChatLine& line) {
    if (LogEnabled(line.Log)) {
        WriteLog(ChatLogFileName(line.Log), line.LogText, true);
    }
}

void TMainForm::SetLogging(bool flag) {
    if (Settings.Logging) {
        const QString header = LogHeader(flag, formatter_.Now());
        for (const TChatLog log : kLogFiles) {
            if (LogEnabled(log)) {
                WriteLog(ChatLogFileName(log), header, false);
            }
        }
    }
    if (!flag) {
        LogWriter.Close();
    }
}
