#pragma once
// The chat log files: plain text, one file per kind of chat line, in the
// logging folder. A line is UTF-8 and ends with CR LF. Each file is kept
// open for appending, and every line is flushed as soon as it is written,
// so nothing is lost when the program ends abruptly. Each line goes to the
// file its path names at that moment: a file removed, moved away or
// replaced meanwhile (a clean-up, a log rotation) gets no more lines; the
// path's file is opened, or made again.

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringView>

#include <functional>
#include <map>
#include <memory>

// The time in front of a log line: "[03:07 PM]: " at 15:07.
QString LogTimePrefix(const QDateTime& time);
// "Logging started {date time}" (started) or "Logging stopped {date time}",
// with the short date and the long time.
QString LogHeader(bool started, const QDateTime& time);
// One line as stored: the time prefix (with withTimePrefix), the text, CR LF.
// Every line break inside the text (CR LF, CR, LF, and the other characters
// text viewers break lines at) is written as a space: one logged message is
// one line, and a received text cannot add lines that look like someone
// else's.
QByteArray FormatLogLine(QStringView text, bool withTimePrefix, const QDateTime& time);

// What became of a line handed to TChatLogWriter::Append.
struct TLogAppend {
    bool Written = false;
    // A failure the user should be told about now; empty when the line was
    // written or when the failure has been reported already.
    QString Report;
};

// Appends lines to the log files of one folder. Never raises: a folder that
// cannot be created or a file that cannot be opened or written leaves the line
// unwritten and is reported once: after a report further failures stay
// quiet until a line is written again, and a reported file that keeps
// failing is not reported again until it has been written successfully.
class TChatLogWriter {
public:
    TChatLogWriter();
    ~TChatLogWriter();
    TChatLogWriter(const TChatLogWriter&) = delete;
    TChatLogWriter& operator=(const TChatLogWriter&) = delete;

    // The folder of the files; a path separator is added in front of a file
    // name when missing. Changing it closes the files open in the old one
    // and reports failures afresh.
    const QString& Folder() const { return folder_; }
    void SetFolder(const QString& folder);

    // The first line of a file made again, as a new file starts.
    using THeader = std::function<QByteArray()>;

    // Appends the line to the file of that name in the folder. The folder is
    // created with all missing parent folders, the file when it is missing.
    // When the file the last line of that name went to is no longer at its
    // path (removed, moved away, another file put there), the path's file is
    // opened, or made, and the first line written there gets the header in
    // front of it; a line given without a header starts the file itself.
    TLogAppend Append(const QString& fileName, const QByteArray& line,
                      const THeader& header = THeader());
    // Closes every file; the next line opens its file again, and failures
    // are reported afresh.
    void Close();

private:
    struct TOpenFile;

    TOpenFile* Open(const QString& fileName, QString& failure);
    // Writes and flushes; false with the failure when not all of it went.
    static bool Write(TOpenFile& open, const QByteArray& data, QString& failure);
    TLogAppend Failed(const QString& fileName, const QString& message);
    TLogAppend WriteFailed(const QString& fileName, const QString& message);

    QString folder_;
    std::map<QString, std::unique_ptr<TOpenFile>> files_;
    // Files gone from their paths that get the header with their next line.
    QSet<QString> madeAgain_;
    // Files reported as failing and not written since.
    QSet<QString> failing_;
    // A failure was reported and no line has been written since.
    bool quiet_ = false;
};
