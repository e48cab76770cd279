#include "model/textfile.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

LoadError cannotRead(const QString &path, const QString &reason)
{
    return LoadError {0, QStringLiteral("Cannot read %1: %2").arg(path, reason)};
}

LoadError cannotWrite(const QString &path, const QString &reason)
{
    return LoadError {0, QStringLiteral("Cannot write %1: %2").arg(path, reason)};
}

// Writes bytes into the save file's temporary file; the old file stays until commit().
Status writeAside(QSaveFile &file, const QByteArray &bytes)
{
    const QString path = file.fileName();
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

Result<QString> readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
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

Status writeTextFile(const QString &path, const QString &text)
{
    return writeFileBytes(path, text.toUtf8());
}

Status writeFileBytes(const QString &path, const QByteArray &bytes)
{
    return writeFilesTogether({{path, bytes}});
}

Status writeFilesTogether(const QList<std::pair<QString, QByteArray>> &files)
{
    std::vector<std::unique_ptr<QSaveFile>> written;
    for (const auto &[path, bytes] : files) {
        auto file = std::make_unique<QSaveFile>(path);
        if (const Status s = writeAside(*file, bytes); !s) {
            return s;
        }
        written.push_back(std::move(file));
    }
    // Only now is any old file replaced; a rename hardly fails once the data are on disk.
    for (auto &file : written) {
        if (!file->commit()) {
            return cannotWrite(file->fileName(), file->errorString());
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
