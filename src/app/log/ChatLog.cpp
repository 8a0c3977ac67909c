#include "app/log/ChatLog.h"

#include "platform/core/FormatDateTime.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

QString LogTimePrefix(const QDateTime& time) {
    return plat::FormatDateTime(u"[hh:nn AMPM]: ", time);
}

QString LogHeader(bool started, const QDateTime& time) {
    return (started ? QStringLiteral("Logging started ") : QStringLiteral("Logging stopped ")) +
           plat::FormatDateTime(u"ddddd tt", time);
}

namespace {

// Characters that text viewers take for the end of a line: CR, LF, vertical
// tab, form feed, next line, line and paragraph separators.
bool IsLineBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == 0x0B || c == 0x0C || c == 0x85 || c == 0x2028 ||
           c == 0x2029;
}

// Each line break (a CR LF pair counts as one) becomes a space.
QString OneLogLine(QStringView text) {
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!IsLineBreak(c)) {
            line += QChar(c);
        } else if (c != u'\r' || i + 1 == text.size() || text[i + 1] != u'\n') {
            line += u' '; // a CR LF pair gives one space, at its LF
        }
    }
    return line;
}

// Which file a path or an open file is: its device and inode (statx, Linux).
struct TFileId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const TFileId&) const = default;
};

// Only the inode is asked for: asking for a file's times as well would make
// every following write update them on disk, which costs more than the
// look-up itself. Nothing when there is no such file.
std::optional<TFileId> FileIdOf(int dirFd, const char* path, int flags) {
    struct statx id {};
    if (::statx(dirFd, path, flags, STATX_INO, &id) != 0) {
        return std::nullopt;
    }
    return TFileId{(uint64_t{id.stx_dev_major} << 32) | id.stx_dev_minor, id.stx_ino};
}

std::optional<TFileId> FileIdAt(const QByteArray& path) {
    return FileIdOf(AT_FDCWD, path.constData(), 0);
}

std::optional<TFileId> FileIdOf(int fd) {
    return FileIdOf(fd, "", AT_EMPTY_PATH);
}

} // namespace

QByteArray FormatLogLine(QStringView text, bool withTimePrefix, const QDateTime& time) {
    QByteArray line;
    if (withTimePrefix) {
        line = LogTimePrefix(time).toUtf8();
    }
    line += OneLogLine(text).toUtf8();
    line += "\r\n";
    return line;
}

// The open file and what it was opened as: a removed file keeps its inode
// while it is open, so a file made at the same path gets another.
struct TChatLogWriter::TOpenFile {
    explicit TOpenFile(const QString& path) : file(path), encodedPath(QFile::encodeName(path)) {}

    // Whether the path still names this file.
    bool InPlace() const { return FileIdAt(encodedPath) == id; }

    QFile file;
    QByteArray encodedPath;
    TFileId id;
};

TChatLogWriter::TChatLogWriter() = default;

TChatLogWriter::~TChatLogWriter() = default;

void TChatLogWriter::SetFolder(const QString& folder) {
    if (folder != folder_) {
        Close();
        folder_ = folder;
    }
}

void TChatLogWriter::Close() {
    files_.clear();
    madeAgain_.clear();
    failing_.clear();
    quiet_ = false;
}

TChatLogWriter::TOpenFile* TChatLogWriter::Open(const QString& fileName, QString& failure) {
    if (auto it = files_.find(fileName); it != files_.end()) {
        return it->second.get();
    }
    if (folder_.isEmpty() || !QDir().mkpath(folder_)) {
        failure = folder_.isEmpty() ? QStringLiteral("Unable to create directory")
                                    : QStringLiteral("Unable to create directory %1").arg(folder_);
        return nullptr;
    }
    QString path = folder_;
    if (!path.endsWith(u'/') && !path.endsWith(QDir::separator())) {
        path += u'/';
    }
    path += fileName;
    auto open = std::make_unique<TOpenFile>(path);
    std::optional<TFileId> opened;
    if (!open->file.open(QIODevice::WriteOnly | QIODevice::Append) ||
        !(opened = FileIdOf(open->file.handle()))) {
        failure = QStringLiteral("Unable to open the log file %1: %2")
                      .arg(path, open->file.errorString());
        return nullptr;
    }
    open->id = *opened;
    return files_.emplace(fileName, std::move(open)).first->second.get();
}

bool TChatLogWriter::Write(TOpenFile& open, const QByteArray& data, QString& failure) {
    if (open.file.write(data) == data.size() && open.file.flush()) {
        return true;
    }
    failure = QStringLiteral("Unable to write the log file %1: %2")
                  .arg(open.file.fileName(), open.file.errorString());
    return false;
}

TLogAppend TChatLogWriter::Append(const QString& fileName, const QByteArray& line,
                                  const THeader& header) {
    // A file gone from its path since the last line starts again as a new
    // one, however many lines it takes to make it.
    if (auto it = files_.find(fileName); it != files_.end() && !it->second->InPlace()) {
        files_.erase(it);
        madeAgain_.insert(fileName);
    }
    QString failure;
    TOpenFile* open = Open(fileName, failure);
    if (!open) {
        return Failed(fileName, failure);
    }
    if (header && madeAgain_.contains(fileName) && !Write(*open, header(), failure)) {
        return WriteFailed(fileName, failure);
    }
    madeAgain_.remove(fileName);
    if (!Write(*open, line, failure)) {
        return WriteFailed(fileName, failure);
    }
    failing_.remove(fileName);
    quiet_ = false;
    return {true, {}};
}

TLogAppend TChatLogWriter::WriteFailed(const QString& fileName, const QString& message) {
    // Opened again for the next line: the cause may pass (a full disk).
    files_.erase(fileName);
    return Failed(fileName, message);
}

TLogAppend TChatLogWriter::Failed(const QString& fileName, const QString& message) {
    const bool report = !quiet_ && !failing_.contains(fileName);
    if (report) {
        failing_.insert(fileName);
    }
    quiet_ = true;
    return {false, report ? message : QString()};
}
