#include <memory>
#include <vector>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "dataprep/createtest.h"
#include "dataprep/normworkflow.h"
#include "exchange/dataexchange.h"
#include "exchange/dbus/dbuslinkport.h"
#include "exchange/dbus/linkserver.h"
#include "files/netcommands.h"
#include "linkprocesses.h"
#include "session/controls.h"
#include "trainfixture.h"

namespace {

const QByteArray XorRows = "0\t0\t0\n0\t1\t1\n1\t0\t1\n1\t1\t0\n";

// The links of the program on the session bus, with the clipboard of the port. The desktop of
// a test bench records the programs the core starts without starting them: this port starts
// the recorded link server when it is asked to wait for one.
class TestPort final : public DbusLinkPort
{
public:
    explicit TestPort(RecordingDesktop &desktop)
        : m_desktop(desktop)
    {
        setCompanionProgram(cli());
        setWaitLimit(10000);
    }

    ~TestPort() override
    {
        for (auto &p : m_started) {
            p->kill();
            p->waitForFinished();
        }
    }

    bool waitForLink(const std::function<bool()> &attempt) override
    {
        ++waits;
        if (startRecorded && !m_desktop.started.isEmpty()) {
            const QStringList command = m_desktop.started.last();
            m_started.push_back(std::make_unique<QProcess>());
            m_started.back()->start(command.first(), command.mid(1));
        }
        return DbusLinkPort::waitForLink(attempt);
    }

    bool startRecorded = true;
    int waits = 0;

private:
    RecordingDesktop &m_desktop;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

// A workbench with a 2-2-1 network, its links and the Edit menu's commands.
struct LinkBench
{
    TestBench b;
    TestPort port {b.desktop};
    DataExchange exchange {b.wb, port};
    Workbench &wb = b.wb;
    NetModel &m = b.wb.model;

    LinkBench()
    {
        buildNet(wb, {QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("1")});
        b.ui.clear();
    }

    // "Save Net As" into dir as name, the weights beside it.
    bool saveAs(const QTemporaryDir &dir, const QString &name)
    {
        b.ui.file(dir.filePath(name + QStringLiteral(".wgt")));
        b.ui.file(dir.filePath(name + QStringLiteral(".net")));
        return saveNet(wb, true).done();
    }

    QString source(bool test = false) const
    {
        return wb.form.text(test ? Control::LBL_TestFile : Control::LBL_DataFile);
    }
};

// The training set's rows as "input input target" lines.
QStringList rows(const NetModel &m)
{
    QStringList out;
    for (int p = 1; p <= m.NumPats; ++p) {
        out << QStringLiteral("%1 %2 %3").arg(m.PatIn(p, 1)).arg(m.PatIn(p, 2)).arg(m.PatOut(p, 1));
    }
    return out;
}

} // namespace

// The program's side of the data links, driven through its core with the real session bus:
// companions serving files, and the program offering its outputs.
class TestDataLinks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linkedSetAndOutputsFollowTheFile();
    void networkWithLinkedSourcesReopens();
    void serverThatNeverComesUp_data();
    void serverThatNeverComesUp();
    void serverGoesAwayMidLink();
    void saveNetworkFirst();
    void referenceWithoutItem();
    void badTextsOverTheLink();
    void clipboardWithoutReference_data();
    void clipboardWithoutReference();
    void plainRowsPasted();
    void linkedSetIsReadAgain();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestDataLinks::initTestCase()
{
    QVERIFY2(QFileInfo::exists(cli()), "AXONA_CLI names no program");
    QVERIFY(m_dir.isValid());
}

void TestDataLinks::linkedSetAndOutputsFollowTheFile()
{
    const QString data = path(QStringLiteral("follow.tsv"));
    QVERIFY(writeFile(data, XorRows));
    Server sheet(data, QStringLiteral("sheet"),
                 {QStringLiteral("--topic"), QStringLiteral("[follow.tsv]Sheet1"),
                  QStringLiteral("--item"), QStringLiteral("R1C1:R4C3")});
    const QString reference = QStringLiteral("sheet|[follow.tsv]Sheet1!R1C1:R4C3");
    QCOMPARE(sheet.reference, reference);

    LinkBench l;
    l.port.setClipboard(QStringLiteral("0\t0\t0"), reference);
    l.exchange.paste(1);
    QCOMPARE(l.b.ui.texts(), QStringList());
    QVERIFY(l.m.PatsLinked && l.m.HasPatterns);
    QCOMPARE(rows(l.m), QStringList({"0 0 0", "0 1 1", "1 0 1", "1 1 0"}));
    QCOMPARE(l.source(), reference);
    QCOMPARE(l.wb.form.text(Control::TXT_EpocLen), QStringLiteral("4"));

    // The outputs go out under the network file's name, and a second companion watches them.
    QTemporaryDir dir;
    QVERIFY(l.saveAs(dir, QStringLiteral("follow")));
    l.exchange.copyOutputs(false);
    const QString outputs = l.wb.form.text(Control::TXT_PATOUTS);
    QCOMPARE(outputs.count(QStringLiteral("\r\n")), 4);
    const QString outRef =
            QStringLiteral("Axona32|") + l.m.NetFileName + QStringLiteral("!TXT_PATOUTS");
    QCOMPARE(l.port.clipboardText(), outputs);
    QCOMPARE(l.port.clipboardReference(), outRef);
    const QString watched = path(QStringLiteral("follow-outputs.tsv"));
    QProcess watch;
    watch.start(cli(),
                {QStringLiteral("link"), QStringLiteral("watch"), outRef, QStringLiteral("-o"),
                 watched});
    QTRY_COMPARE(readFile(watched), outputs.toUtf8());

    // The file is saved with two rows: a new set, new outputs at the watcher.
    QVERIFY(replaceFile(data, "1\t1\t0\n0\t0\t0\n"));
    QTRY_COMPARE(l.m.NumPats, int16_t(2));
    QCOMPARE(rows(l.m), QStringList({"1 1 0", "0 0 0"}));
    QCOMPARE(l.source(), reference);
    QCOMPARE(l.wb.form.text(Control::TXT_PAT), QStringLiteral("1\t1\t0\r\n0\t0\t0\r\n"));
    QTRY_COMPARE(readFile(watched).count("\r\n"), 2);
    QCOMPARE(readFile(watched), l.wb.form.text(Control::TXT_PATOUTS).toUtf8());

    // The watcher leaves: the program says so.
    watch.kill();
    watch.waitForFinished();
    QTRY_VERIFY(l.b.ui.texts().contains(QStringLiteral("DDE Conversation Terminated")));
}

void TestDataLinks::networkWithLinkedSourcesReopens()
{
    const QString data = path(QStringLiteral("reopen.tsv"));
    QVERIFY(writeFile(data, XorRows));
    const QString test = path(QStringLiteral("reopen-test.tsv"));
    QVERIFY(writeFile(test, "1\t1\t0\n"));
    QTemporaryDir dir;
    QString net;
    {
        Server sheet(data, QStringLiteral("sheet"),
                     {QStringLiteral("--topic"), QStringLiteral("[reopen.tsv]Sheet1"),
                      QStringLiteral("--item"), QStringLiteral("data")});
        Server tests(test, QStringLiteral("tests"));
        LinkBench l;
        l.port.setClipboard(QString(), sheet.reference);
        l.exchange.paste(1);
        l.port.setClipboard(QString(), tests.reference);
        l.exchange.paste(2);
        QVERIFY(l.m.PatsLinked && l.m.TestLinked);
        QVERIFY(l.saveAs(dir, QStringLiteral("linked")));
        net = l.m.NetFileName;
        const QByteArray text = readFile(net);
        QVERIFY(text.contains("\r\n!sheet|[reopen.tsv]Sheet1!data\r\n"));
        QVERIFY(text.contains("\r\n!" + tests.reference.toUtf8() + "\r\n"));

        // Reopened while the servers run: the same links.
        LinkBench again;
        QVERIFY(loadNet(again.wb, net).done());
        QCOMPARE(again.b.ui.texts(), QStringList());
        QVERIFY(again.m.PatsLinked && again.m.TestLinked);
        QCOMPARE(again.m.NumPats, int16_t(4));
        QCOMPARE(again.m.NumTestPats, int16_t(1));
        QCOMPARE(again.source(), sheet.reference);
        QCOMPARE(again.source(true), tests.reference);
        QCOMPARE(again.port.waits, 0);
    }

    // Reopened with no server running: the file the spreadsheet-style topic names (beside the
    // network file here) is served by the command-line tool; the test set's server is started
    // the same way from its topic, the file's full name.
    QVERIFY(QFile::copy(data, dir.filePath(QStringLiteral("reopen.tsv"))));
    LinkBench cold;
    QVERIFY(loadNet(cold.wb, net).done());
    QCOMPARE(cold.b.ui.texts(), QStringList());
    QCOMPARE(cold.b.desktop.started.size(), 2);
    QCOMPARE(cold.b.desktop.started.first(),
             QStringList({cli(), "link", "serve", dir.filePath("reopen.tsv"), "--server", "sheet",
                          "--topic", "[reopen.tsv]Sheet1", "--item", "data",
                          "--quit-when-unlinked"}));
    QVERIFY(cold.m.PatsLinked && cold.m.TestLinked && !cold.m.LinkWaitCancelled);
    QCOMPARE(cold.m.NumPats, int16_t(4));
    QCOMPARE(cold.m.NumTestPats, int16_t(1));
}

void TestDataLinks::serverThatNeverComesUp_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    // Nothing names a file to serve: there is nothing to start.
    QTest::newRow("nothing to start")
            << "ghost|[nowhere.tsv]Sheet1!data" << false << "Could not Start ghost\r\n"
            << "Axona DDE Failure";
    // A file to serve, but the program started never answers: the wait is given up.
    QTest::newRow("started, never answers") << "ghost|FILE!data" << true << "Could Not Start DDE"
                                            << "";
}

void TestDataLinks::serverThatNeverComesUp()
{
    QFETCH(QString, reference);
    QFETCH(bool, starts);
    QFETCH(QString, message);
    QFETCH(QString, title);
    LinkBench l;
    setPatterns(l.wb, xorInputs(), xorTargets());
    l.wb.form.setText(Control::LBL_DataFile, QStringLiteral("xor.pat"));
    l.b.ui.clear();
    // Stands for a server that never comes up: the recorded start is not run, the wait ends.
    l.port.startRecorded = false;
    l.port.setWaitLimit(1200);
    const QString topicFile = path(QStringLiteral("ghost.tsv"));
    QVERIFY(writeFile(topicFile, XorRows));
    reference.replace(QStringLiteral("FILE"), topicFile);
    l.port.setClipboard(QString(), reference);
    l.exchange.paste(1);

    QCOMPARE(l.b.ui.texts(), QStringList({message}));
    QCOMPARE(l.b.ui.shown().front().icon, UiPort::Icon::Exclamation);
    QCOMPARE(l.b.ui.shown().front().title, title);
    QCOMPARE(l.b.desktop.started.size(), starts ? 1 : 0);
    QCOMPARE(l.port.waits, starts ? 1 : 0);
    QCOMPARE(l.m.LinkWaitCancelled, starts);
    QVERIFY(!l.m.PatsLinked);
    QCOMPARE(l.m.NumPats, int16_t(4));
    QCOMPARE(l.source(), QStringLiteral("xor.pat"));
}

void TestDataLinks::serverGoesAwayMidLink()
{
    const QString data = path(QStringLiteral("away.tsv"));
    QVERIFY(writeFile(data, XorRows));
    LinkBench l;
    {
        Server sheet(data, QStringLiteral("away"));
        l.port.setClipboard(QString(), sheet.reference);
        l.exchange.paste(1);
        QVERIFY(l.m.PatsLinked);
    }
    QTRY_VERIFY(!l.b.ui.statuses().isEmpty()
                && l.b.ui.statuses().last().contains(QStringLiteral("went away")));
    // The set stays as it was, still linked: the network file keeps the link.
    QCOMPARE(l.m.NumPats, int16_t(4));
    QVERIFY(l.m.HasPatterns && l.m.PatsLinked);
    QCOMPARE(l.b.ui.texts(), QStringList());
}

void TestDataLinks::saveNetworkFirst()
{
    LinkBench l;
    setPatterns(l.wb, xorInputs(), xorTargets());
    l.port.setClipboard(QStringLiteral("kept"), QStringLiteral("other|t!i"));
    l.exchange.copyOutputs(false);
    l.exchange.copyOutputs(true);
    QCOMPARE(l.b.ui.texts(), QStringList({"Save Network First", "Save Network First"}));
    QCOMPARE(l.b.ui.shown().front().icon, UiPort::Icon::Exclamation);
    QCOMPARE(l.port.clipboardText(), QStringLiteral("kept"));
    QCOMPARE(l.port.clipboardReference(), QStringLiteral("other|t!i"));
    QVERIFY(l.exchange.topic().isEmpty());
}

void TestDataLinks::referenceWithoutItem()
{
    const QString data = path(QStringLiteral("whole.tsv"));
    QVERIFY(writeFile(data, XorRows));
    Server sheet(data, QStringLiteral("whole"),
                 {QStringLiteral("--topic"), QStringLiteral("[whole.tsv]Sheet1")});
    LinkBench l;
    // Copied as plain text, as from a terminal.
    l.port.setClipboard(QStringLiteral("whole|[whole.tsv]Sheet1\r\n"), QString());
    l.exchange.paste(1);
    QVERIFY(l.m.PatsLinked);
    QCOMPARE(l.m.NumPats, int16_t(4));
    QCOMPARE(l.source(), QStringLiteral("whole|[whole.tsv]Sheet1"));
}

void TestDataLinks::badTextsOverTheLink()
{
    // A peer in this test: its texts reach the program as a spreadsheet's would.
    QDBusConnection own =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("peer"));
    {
        LinkServer peer(own);
        peer.publish(QStringLiteral("t"), QStringLiteral("i"), QStringLiteral("1\t2\t1\r\n"));
        QVERIFY(peer.start(QStringLiteral("peer")));
        LinkBench l;
        l.port.setClipboard(QString(), QStringLiteral("peer|t!i"));
        l.exchange.paste(1);
        QCOMPARE(rows(l.m), QStringList({"1 2 1"}));

        // Text where numbers belong counts as 0.
        peer.publish(QStringLiteral("t"), QStringLiteral("i"),
                     QStringLiteral("x\t2y\t\u00e9\r\n-1e0\t\x01\t1\r\n"));
        QTRY_COMPARE(l.m.NumPats, int16_t(2));
        QCOMPARE(rows(l.m), QStringList({"0 2 0", "-1 0 1"}));

        // A row with a field too many: the set is absent, but still linked to its source.
        peer.publish(QStringLiteral("t"), QStringLiteral("i"), QStringLiteral("1\t2\t3\t4\r\n"));
        QTRY_COMPARE(l.b.ui.texts(), QStringList({"Net size is different from pattern data line"}));
        QVERIFY(!l.m.HasPatterns && l.m.PatsLinked);
        QCOMPARE(l.source(), QStringLiteral("peer|t!i"));

        // A flood: the set ends as the last text says, the rest merged away.
        for (int i = 1; i <= 500; ++i) {
            peer.publish(QStringLiteral("t"), QStringLiteral("i"),
                         QStringLiteral("%1e-3\t0\t1\r\n").arg(i));
        }
        QTRY_COMPARE(rows(l.m), QStringList({"0.5 0 1"}));
        QVERIFY(l.m.HasPatterns);
        QCOMPARE(l.b.ui.texts().size(), 1);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("peer"));
}

void TestDataLinks::clipboardWithoutReference_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty clipboard")
            << ""
            << ""
            << "The clipboard holds no link reference and no rows of pattern data.";
    QTest::newRow("reference without server") << ""
                                              << "|t!i"
                                              << "Could Not Start DDE";
    QTest::newRow("no bar: rows of one field") << "sheet!data"
                                               << ""
                                               << "Net size is different from pattern data line";
}

void TestDataLinks::clipboardWithoutReference()
{
    QFETCH(QString, text);
    QFETCH(QString, reference);
    QFETCH(QString, message);
    LinkBench l;
    l.port.setClipboard(text, reference);
    l.exchange.paste(2);
    QCOMPARE(l.b.ui.texts(), QStringList({message}));
    QVERIFY(!l.m.TestLinked && !l.m.HasTest);
}

void TestDataLinks::plainRowsPasted()
{
    LinkBench l;
    // Cells copied from a spreadsheet: tab-separated, CRLF.
    l.port.setClipboard(QString::fromLatin1(XorRows).replace("\n", "\r\n"), QString());
    l.exchange.paste(1);
    QCOMPARE(l.b.ui.texts(), QStringList());
    QCOMPARE(l.source(), QStringLiteral("pasted"));
    QVERIFY(!l.m.PatsLinked && l.m.PatsUnsaved && l.m.SetsRegenerated);
    QCOMPARE(l.m.NumPats, int16_t(4));

    // Saving the network asks for a pattern file first; the network file then names it.
    QTemporaryDir dir;
    const QString pat = dir.filePath(QStringLiteral("pasted.pat"));
    l.b.ui.file(dir.filePath(QStringLiteral("pasted.wgt")));
    l.b.ui.file(pat);
    l.b.ui.file(dir.filePath(QStringLiteral("pasted.net")));
    QVERIFY(saveNet(l.wb, true).done());
    QCOMPARE(l.b.ui.texts(),
             QStringList({"You will first be prompted for the weight file name",
                          "You will first be prompted for the pattern file name"}));
    QCOMPARE(l.b.ui.fileRequests()[1].title, QStringLiteral("Save Pats. As"));
    QCOMPARE(l.source(), pat);
    QVERIFY(!l.m.PatsUnsaved);
    QVERIFY(readFile(l.m.NetFileName).contains(pat.toUtf8()));
    LinkBench again;
    QVERIFY(loadNet(again.wb, l.m.NetFileName).done());
    QCOMPARE(rows(again.m), rows(l.m));
}

void TestDataLinks::linkedSetIsReadAgain()
{
    const QString data = path(QStringLiteral("again.tsv"));
    QVERIFY(writeFile(data, "0\t0\t0\n0\t4\t1\n2\t0\t1\n2\t4\t0\n1\t2\t1\n"));
    Server sheet(data, QStringLiteral("again"));
    LinkBench l;
    l.port.setClipboard(QString(), sheet.reference);
    l.exchange.paste(1);
    QCOMPARE(l.m.NumPats, int16_t(5));

    // Normalisation reads the set again through its link and scales it.
    NormForm form;
    fillNormForm(l.wb, form);
    QVERIFY(normalizeData(l.wb, form));
    QVERIFY(l.m.NormOn);
    QVERIFY(l.m.PatsLinked);
    for (int p = 1; p <= l.m.NumPats; ++p) {
        QVERIFY(l.m.PatIn(p, 2) >= -3.0001f && l.m.PatIn(p, 2) <= 3.0001f);
    }
    QCOMPARE(l.m.PatIn(2, 2), l.m.PatIn(4, 2));

    // Create Test starts from the whole set at its source, the link.
    CreateTestChoice choice;
    openCreateTest(l.wb, choice);
    choice.data[0] = QStringLiteral("40");
    QCOMPARE(createTest(l.wb, choice), CreateTestEnd::Created);
    QCOMPARE(l.m.NumPats + l.m.NumTestPats, 5);
    QCOMPARE(l.m.NumTestPats, int16_t(2));
}

QTEST_GUILESS_MAIN(TestDataLinks)
#include "tst_datalinks.moc"
