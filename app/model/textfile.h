#pragma once

#include <utility>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include "model/result.h"

// Whole text files, as every reader and writer of the program takes and leaves them. Texts are
// handed over with their line ends as they are: readers accept CRLF, LF and CR alike, and
// writers build CRLF lines themselves (PrintLine does), so the bytes written are exactly the
// text given.

// Largest file readTextFile accepts, in bytes.
inline constexpr qint64 MaxTextFileSize = qint64(256) << 20;

// The whole file as text: UTF-8, or Latin-1 when the bytes are not valid UTF-8; a file that
// cannot be read, is not a regular file (a named pipe would wait for a writer forever, a device
// never end) or is larger than MaxTextFileSize gives "Cannot read <path>: <reason>".
Result<QString> readTextFile(const QString &path);

// Replaces path with text in UTF-8, all or nothing: on failure the old file stays as it was and
// the message is "Cannot write <path>: <reason>". A text that could not be made (a value its
// reader could not take back) fails the same way with its reason, and nothing is written.
Status writeTextFile(const QString &path, const QString &text);
Status writeTextFile(const QString &path, const Result<QString> &text);

// Writes each (path, text) pair as writeTextFile does, all or none: every text goes to a
// temporary file first, and only when all were written are they renamed over their paths. On
// failure no path has changed (short of a rename refused after the earlier ones succeeded).
Status writeTextFiles(const QList<std::pair<QString, QString>> &files);

// Replaces path with bytes, all or nothing, with writeTextFile's messages (binary files).
Status writeFileBytes(const QString &path, const QByteArray &bytes);

// writeTextFiles for bytes: files that belong together (path, bytes), each written aside first,
// none replacing its old file unless all were written.
Status writeFilesTogether(const QList<std::pair<QString, QByteArray>> &files);

// The file beside path with path's base name and ending (".tst", "_test.c"), written in the form
// path is ("data/iris.pat" gives "data/iris.tst", "iris.pat" gives "iris.tst").
QString besideFile(const QString &path, QStringView ending);

// The text with every line end (LF, CR or CRLF) made CRLF, for texts that come from widgets.
QString withCrlf(QStringView text);
