#include <csignal>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include "model/textfile.h"

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void decoding_data();
    void decoding();
    void unreadable();
    void tooLarge();
    void writeExactBytes();
    void writeIntoMissingFolder();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void crlf_data();
    void crlf();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTextFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestTextFile::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("UTF-8 with CRLF") << QByteArray("\"Gr\xc3\xb6\xc3\x9f"
                                                   "e\"\r\n 3 \r\n")
                                     << QStringLiteral("\"Größe\"\r\n 3 \r\n");
    QTest::newRow("Latin-1 fallback") << QByteArray("\"Gr\xf6\xdf"
                                                    "e\"\n")
                                      << QStringLiteral("\"Größe\"\n");
    QTest::newRow("UTF-8 byte order mark dropped") << QByteArray("\xef\xbb\xbf"
                                                                 "Axona 1.7\r\n")
                                                   << QStringLiteral("Axona 1.7\r\n");
    QTest::newRow("NUL bytes kept") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestTextFile::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString path = m_dir->filePath("in.net");
    QVERIFY(writeBytes(path, bytes));
    const Result<QString> read = readTextFile(path);
    QVERIFY2(read.ok(), read.ok() ? "" : qPrintable(read.error().message));
    QCOMPARE(read.value(), text);
}

void TestTextFile::unreadable()
{
    const QString missing = m_dir->filePath("missing.wgt");
    const Result<QString> read = readTextFile(missing);
    QVERIFY(!read.ok());
    QVERIFY2(read.error().message.startsWith(QStringLiteral("Cannot read %1: ").arg(missing)),
             qPrintable(read.error().message));
    QVERIFY(read.error().message.size() > missing.size() + 14);

    const Result<QString> folder = readTextFile(m_dir->path());
    QVERIFY(!folder.ok());
    QVERIFY(folder.error().message.startsWith(QStringLiteral("Cannot read ")));

    // A named pipe would wait for a writer forever.
    const QString pipe = m_dir->filePath("pipe.pat");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const Result<QString> fromPipe = readTextFile(pipe);
    QVERIFY(!fromPipe.ok());
    QCOMPARE(fromPipe.error().message,
             QStringLiteral("Cannot read %1: it is not a regular file").arg(pipe));
}

// A sparse file one byte over the limit is refused without being read.
void TestTextFile::tooLarge()
{
    const QString path = m_dir->filePath("huge.pat");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(MaxTextFileSize + 1));
    file.close();
    const Result<QString> read = readTextFile(path);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().message,
             QStringLiteral("Cannot read %1: the file is larger than 256 MiB").arg(path));
}

// The bytes written are the text's UTF-8, its CRLF untouched, replacing an older, longer file.
void TestTextFile::writeExactBytes()
{
    const QString path = m_dir->filePath("out.net");
    QVERIFY(writeBytes(path, QByteArray(1000, 'x')));
    const Status written = writeTextFile(path, QStringLiteral("Axona 1.7\r\n\"Größe\"\r\n"));
    QVERIFY2(written.ok(), written.ok() ? "" : qPrintable(written.error().message));
    QCOMPARE(readBytes(path),
             QByteArray("Axona 1.7\r\n\"Gr\xc3\xb6\xc3\x9f"
                        "e\"\r\n"));
}

void TestTextFile::writeIntoMissingFolder()
{
    const QString path = m_dir->filePath("no/such/folder/out.wgt");
    const Status written = writeTextFile(path, QStringLiteral(" 9 \r\n"));
    QVERIFY(!written.ok());
    const QString prefix = QStringLiteral("Cannot write %1: ").arg(path);
    QVERIFY2(written.error().message.startsWith(prefix), qPrintable(written.error().message));
    QVERIFY(written.error().message.size() > prefix.size());
    QVERIFY(!QFile::exists(path));
}

// A write that fails half-way (here: the file size limit of the process, which holds even for
// root) reports the failure and leaves the old file as it was, with no temporary file behind;
// both for a text that fits Qt's write buffer and for a larger one.
void TestTextFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("size");

    QTest::newRow("within the write buffer") << 6000;
    QTest::newRow("beyond the write buffer") << 100000;
}

void TestTextFile::failedWriteKeepsOldFile()
{
    QFETCH(int, size);
    const QString path = m_dir->filePath("net.wgt");
    const QByteArray old("old weights\r\n");
    QVERIFY(writeBytes(path, old));

    rlimit saved {};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const Status written = writeTextFile(path, QString(size, u'1'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written.ok());
    const QString prefix = QStringLiteral("Cannot write %1: ").arg(path);
    QVERIFY2(written.error().message.startsWith(prefix), qPrintable(written.error().message));
    QVERIFY(!written.error().message.endsWith(QStringLiteral("Unknown error")));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList {"net.wgt"});
}

void TestTextFile::crlf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("LF") << "a\nb\n"
                        << "a\r\nb\r\n";
    QTest::newRow("CRLF kept") << "a\r\nb"
                               << "a\r\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\r\nb";
    QTest::newRow("mixed and empty lines") << "a\n\r\n\rb\r"
                                           << "a\r\n\r\n\r\nb\r\n";
    QTest::newRow("no line end") << "abc"
                                 << "abc";
}

void TestTextFile::crlf()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(withCrlf(text), expected);
}

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
