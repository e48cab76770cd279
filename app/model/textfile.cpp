#include "model/textfile.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

LoadError cannotRead(const QString &path, const QString &reason)
{
    return LoadError {0, QStringLiteral("Cannot read %1: %2").arg(path, reason)};
}

} // namespace

Result<QString> readTextFile(const QString &path)
{
    // Opened without waiting, so that a named pipe cannot block the open itself, and looked at
    // before a byte is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return cannotRead(path, qt_error_string(errno));
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        return cannotRead(path,
                          folder ? QStringLiteral("it is a folder")
                                 : QStringLiteral("it is not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannotRead(path, file.errorString());
    }
    const QString tooLarge =
            QStringLiteral("the file is larger than %1 MiB").arg(MaxTextFileSize >> 20);
    if (file.size() > MaxTextFileSize) {
        return cannotRead(path, tooLarge);
    }
    // Read in pieces rather than trusting size(): devices and pipes report 0 and never end.
    QByteArray bytes;
    constexpr qint64 Piece = qint64(1) << 20;
    char buffer[64 * 1024];
    while (true) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0) {
            return cannotRead(path, file.errorString());
        }
        if (got == 0) {
            break;
        }
        if (bytes.size() + got > MaxTextFileSize) {
            return cannotRead(path, tooLarge);
        }
        if (bytes.capacity() < bytes.size() + got) {
            bytes.reserve(bytes.size() + std::max<qint64>(Piece, bytes.size()));
        }
        bytes.append(buffer, got);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
    }
    return text;
}

namespace {

LoadError cannotWrite(const QString &path, const QString &reason)
{
    return LoadError {0, QStringLiteral("Cannot write %1: %2").arg(path, reason)};
}

// Opens file (a QSaveFile for path) and writes bytes into its temporary file, not yet committed.
Status writeUncommitted(QSaveFile &file, const QString &path, const QByteArray &bytes)
{
    // Unbuffered, so that a short write (disk full, file size limit) shows in write()'s count:
    // through Qt's buffer, commit() was seen to report success for a file cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return cannotWrite(path, file.errorString());
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const int code = errno;
            QString reason = file.error() == QFileDevice::NoError ? QString() : file.errorString();
            if (reason.isEmpty() || reason == u"Unknown error") {
                reason = code != 0 ? qt_error_string(code)
                                   : QStringLiteral("the data could not be written");
            }
            file.cancelWriting();
            return cannotWrite(path, reason);
        }
        done += written;
    }
    return Done {};
}

} // namespace

Status writeTextFile(const QString &path, const QString &text)
{
    return writeTextFiles({{path, text}});
}

Status writeTextFile(const QString &path, const Result<QString> &text)
{
    if (!text) {
        return cannotWrite(path, text.error().message);
    }
    return writeTextFile(path, text.value());
}

Status writeTextFiles(const QList<std::pair<QString, QString>> &files)
{
    QList<std::pair<QString, QByteArray>> bytes;
    for (const auto &[path, text] : files) {
        bytes.append({path, text.toUtf8()});
    }
    return writeFilesTogether(bytes);
}

Status writeFileBytes(const QString &path, const QByteArray &bytes)
{
    return writeFilesTogether({{path, bytes}});
}

Status writeFilesTogether(const QList<std::pair<QString, QByteArray>> &files)
{
    std::vector<std::unique_ptr<QSaveFile>> open;
    for (const auto &[path, bytes] : files) {
        open.push_back(std::make_unique<QSaveFile>(path));
        const Status written = writeUncommitted(*open.back(), path, bytes);
        if (!written) {
            // The files already written are still temporary: destroying them removes them.
            return written;
        }
    }
    for (std::size_t i = 0; i < open.size(); ++i) {
        if (!open[i]->commit()) {
            const QString path = files[static_cast<qsizetype>(i)].first;
            return cannotWrite(path, open[i]->errorString());
        }
    }
    return Done {};
}

QString withCrlf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            out += QStringLiteral("\r\n");
        } else if (text[i] == u'\n') {
            out += QStringLiteral("\r\n");
        } else {
            out += text[i];
        }
    }
    return out;
}

QString besideFile(const QString &path, QStringView ending)
{
    const QString name = QFileInfo(path).completeBaseName() + ending.toString();
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? name : path.left(slash + 1) + name;
}
