#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The file types the installation registers, as the desktop's MIME database sees them once the
// definitions sit beside the system's: networks by extension and by their first line, weights and
// patterns by extension, and other programs' files of the same extensions left to those programs.
class TestMimeTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void detect_data();
    void detect();

private:
    QTemporaryDir m_data;
    QTemporaryDir m_files;
};

void TestMimeTypes::initTestCase()
{
    QVERIFY(m_data.isValid() && m_files.isValid());
    const QString packages = m_data.filePath(QStringLiteral("mime/packages"));
    QVERIFY(QDir().mkpath(packages));
    // One database of the system's types and ours, as installing into /usr makes it.
    const QDir system(QStringLiteral("/usr/share/mime/packages"));
    const QStringList systemFiles = system.entryList({QStringLiteral("*.xml")}, QDir::Files);
    QVERIFY(systemFiles.contains(QStringLiteral("freedesktop.org.xml")));
    for (const QString &name : systemFiles) {
        QVERIFY(QFile::copy(system.filePath(name), packages + u'/' + name));
    }
    QVERIFY(QFile::copy(QStringLiteral(AXONA_MIME_XML), packages + QStringLiteral("/axona.xml")));
    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {m_data.filePath(QStringLiteral("mime"))});
    QVERIFY2(update.waitForFinished(60000), "update-mime-database did not finish");
    QVERIFY2(update.exitStatus() == QProcess::NormalExit && update.exitCode() == 0,
             update.readAllStandardError().constData());
    // Read before the first lookup: the database loads its folders once.
    qputenv("XDG_DATA_DIRS", m_data.path().toUtf8());
    qputenv("XDG_DATA_HOME", m_data.filePath(QStringLiteral("home")).toUtf8());
}

void TestMimeTypes::detect_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type");

    const QByteArray net = "Axona 1.7\r\n\"XOR\"\r\nNumber of layers:\r\n 3 \r\n";
    const QByteArray numbers = " 4    2   1 \r\n 0  0  0  \r\n";
    QByteArray gimpPattern(20, '\0');
    gimpPattern += "GPAT";
    gimpPattern += QByteArray(40, '\0');

    QTest::newRow("network by extension") << "xor.net" << net << "application/x-axona-net";
    QTest::newRow("network without an extension") << "xor" << net << "application/x-axona-net";
    QTest::newRow("weights") << "xor.wgt" << QByteArray(" 9 \r\n 2 \r\n")
                             << "application/x-axona-weights";
    QTest::newRow("patterns") << "xor.pat" << numbers << "application/x-axona-patterns";
    QTest::newRow("test patterns") << "xor.tst" << numbers << "application/x-axona-patterns";
    QTest::newRow("a GIMP pattern stays GIMP's") << "wood.pat" << gimpPattern << "image/x-gimp-pat";
    QTest::newRow("plain text") << "notes.txt" << QByteArray("Axonal growth\n") << "text/plain";
}

void TestMimeTypes::detect()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, type);

    QFile file(m_files.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
    file.close();
    QCOMPARE(QMimeDatabase().mimeTypeForFile(file.fileName()).name(), type);
}

QTEST_GUILESS_MAIN(TestMimeTypes)
#include "tst_mimetypes.moc"
