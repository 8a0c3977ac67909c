// The chat log files as the main window writes them: one line per logged
// console line, the start and stop headers, and one red line when a log
// file cannot be written.
#include "app/mainform/MainForm.h"

namespace {

// The files in header order.
constexpr TChatLog kLogFiles[] = {TChatLog::Groups, TChatLog::Private, TChatLog::PrivateGroups,
                                  TChatLog::System, TChatLog::Errors};

// Logging and the file's own flag are on.
bool LogEnabled(const TMainSettings& settings, TChatLog log) {
    if (!settings.Logging) {
        return false;
    }
    switch (log) {
    case TChatLog::Groups:
        return settings.LogGroup;
    case TChatLog::Private:
        return settings.LogPrivate;
    case TChatLog::PrivateGroups:
        return settings.LogPrivateGroup;
    case TChatLog::System:
        return settings.LogSystem;
    case TChatLog::Errors:
        return settings.LogError;
    case TChatLog::None:
        break;
    }
    return false;
}

} // namespace

void TMainForm::WriteLogLine(const TMainSettings& settings, const QString& fileName,
                             const QString& text, bool withTimePrefix, bool startsFile) {
    if (!settings.Logging) {
        return;
    }
    logWriter_.SetFolder(settings.LoggingFolder);
    const QDateTime now = formatter_.Now();
    // A file made again after it went away starts as a new file does.
    const auto header = [&now] { return FormatLogLine(LogHeader(true, now), false, now); };
    const TLogAppend result = logWriter_.Append(
        fileName, FormatLogLine(text, withTimePrefix && settings.TimestampLogging, now),
        startsFile ? TChatLogWriter::THeader() : TChatLogWriter::THeader(header));
    if (!result.Report.isEmpty()) {
        // Shown, never logged: the failing file may be errors.log itself.
        AddConsoleLine(EscapeMarkup(result.Report), MessageColor::Error, true);
    }
}

void TMainForm::WriteLog(const QString& fileName, const QString& text, bool withTimePrefix) {
    WriteLogLine(Settings, fileName, text, withTimePrefix, false);
}

void TMainForm::LogLine(const TChatLine& line) {
    if (LogEnabled(Settings, line.Log)) {
        WriteLog(ChatLogFileName(line.Log), line.LogText, true);
    }
}

void TMainForm::WriteLogHeaders(const TMainSettings& settings, bool started) {
    const QString header = LogHeader(started, formatter_.Now());
    for (const TChatLog log : kLogFiles) {
        if (LogEnabled(settings, log)) {
            WriteLogLine(settings, ChatLogFileName(log), header, false, true);
        }
    }
    if (!started) {
        logWriter_.Close();
    }
}

void TMainForm::SetLogging(bool flag) {
    if (Settings.Logging) {
        WriteLogHeaders(Settings, flag);
    } else if (!flag) {
        logWriter_.Close();
    }
}
