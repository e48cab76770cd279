#include <limits>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include "files/filecommands.h"
#include "files/netcommands.h"
#include "files/patterncommands.h"
#include "filetesthelpers.h"
#include "linkedengine.h"
#include "model/netfile.h"
#include "model/windowlayout.h"
#include "session/workbench.h"
#include "training/construction.h"

namespace {

const QStringList XorFiles {"xor.net", "xor.pat", "xor.wgt", "xor.tst"};

// How the closing question's file dialog is answered when Yes saves a network without a file.
enum class SaveAs { NotAsked, Named, Cancelled };

} // namespace

Q_DECLARE_METATYPE(UiPort::Answer)
Q_DECLARE_METATYPE(SaveAs)

// The file commands of the main window and the closing question, and the layout records'
// units.
class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:

    void initTestCase()
    {
        // The local-name rule looks in the current directory: an empty one finds nothing.
        QVERIFY(m_cwd.isValid());
        QVERIFY(QDir::setCurrent(m_cwd.path()));
    }

    void closingQuestion_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("hasNetFile");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<UiPort::Answer>("answer");
        QTest::addColumn<SaveAs>("saveAs");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");

        using A = UiPort::Answer;
        QTest::newRow("unchanged: nothing asked")
                << false << true << true << A::Ok << SaveAs::NotAsked << true << false;
        QTest::newRow("No quits without writing")
                << true << true << true << A::No << SaveAs::NotAsked << true << false;
        QTest::newRow("Cancel stays")
                << true << true << true << A::Cancel << SaveAs::NotAsked << false << false;
        QTest::newRow("Yes saves to the network's file")
                << true << true << true << A::Yes << SaveAs::NotAsked << true << true;
        QTest::newRow("Yes without a file asks for one")
                << true << false << true << A::Yes << SaveAs::Named << true << true;
        QTest::newRow("Yes, dialog cancelled: stays")
                << true << false << true << A::Yes << SaveAs::Cancelled << false << false;
        QTest::newRow("Yes, write fails: stays")
                << true << true << false << A::Yes << SaveAs::NotAsked << false << false;
    }

    void closingQuestion()
    {
        QFETCH(bool, changed);
        QFETCH(bool, hasNetFile);
        QFETCH(bool, writable);
        QFETCH(UiPort::Answer, answer);
        QFETCH(SaveAs, saveAs);
        QFETCH(bool, closes);
        QFETCH(bool, written);

        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        NetModel &m = b.wb.model;
        // The file to be written does not exist yet, so that writing it shows.
        const QString target = dir.filePath(hasNetFile ? "xor.net" : "named.net");
        QVERIFY(QFile::remove(dir.filePath("xor.net")));
        m.HasNetFile = hasNetFile;
        if (!writable) {
            m.NetFileName = dir.filePath("missing/xor.net");
        }
        m.WeightsChanged = changed;
        if (changed) {
            b.ui.answer(answer);
        }
        if (saveAs == SaveAs::Named) {
            b.ui.file(target);
        } else if (saveAs == SaveAs::Cancelled) {
            b.ui.cancelFile();
        }

        QCOMPARE(mayClose(b.wb), closes);
        QCOMPARE(QFile::exists(target), written);
        const QStringList texts = b.ui.texts();
        QCOMPARE(texts.value(0), changed ? QStringLiteral("Save Net Before Quiting") : QString());
        // A failed write is told; nothing else is.
        QCOMPARE(texts.size(), int(changed) + int(!writable));
        QCOMPARE(int(b.ui.fileRequests().size()), saveAs == SaveAs::NotAsked ? 0 : 1);
        QCOMPARE(m.WeightsChanged, changed && !written);
        if (written) {
            TestBench again;
            QVERIFY(loadNet(again.wb, target).done());
            QCOMPARE(again.wb.model.Weights(2, 3, 2), m.Weights(2, 3, 2));
        }
    }

    void cancelledSaveOfANewNetworkAsksAgain()
    {
        TestBench b;
        buildNetwork(b.wb);
        b.wb.model.WeightsChanged = true;
        b.ui.answer(UiPort::Answer::Yes);
        b.ui.cancelFile(); // the weight file
        b.ui.cancelFile(); // the network file
        QVERIFY(!mayClose(b.wb));
        QCOMPARE(b.ui.texts(),
                 (QStringList {"Save Net Before Quiting",
                               "You will first be prompted for the weight file name"}));
        QVERIFY(b.wb.model.WeightsChanged);
        b.ui.answer(UiPort::Answer::No);
        QVERIFY(mayClose(b.wb));
        QCOMPARE(b.ui.texts().size(), 3);
    }

    void saveNetGoesToTheNetworksFile()
    {
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        b.wb.model.NetTitle = QStringLiteral("saved again");
        // No dialog is scripted: one would fail the test.
        QCOMPARE(saveNetCommand(b.wb).name, dir.filePath("xor.net"));
        QVERIFY(readBytes(dir.filePath("xor.net")).contains("\"saved again\""));
    }

    // A value the readers could not take back is never written: the save is refused with the
    // reason and every file stays as it was.
    void unreadableValuesAreNotSaved_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("diverged weight") << "weight"
                                         << "xor.wgt"
                                         << "weight 1 of node 1 in layer 2 is NaN";
        QTest::newRow("Eta grown out of range") << "eta"
                                                << "xor.net"
                                                << "Eta is Inf";
        QTest::newRow("normalisation factor") << "factor"
                                              << "xor.net"
                                              << "output normalization factor b of line 2 is -Inf";
        QTest::newRow("pattern value") << "pattern"
                                       << "saved.pat"
                                       << "value 3 of pattern 2 is Inf";
    }

    void unreadableValuesAreNotSaved()
    {
        QFETCH(QString, what);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        const QByteArray net = readBytes(dir.filePath("xor.net"));
        const QByteArray weights = readBytes(dir.filePath("xor.wgt"));
        NetModel &m = b.wb.model;
        constexpr float inf = std::numeric_limits<float>::infinity();
        FileResult result;
        if (what == "pattern") {
            m.PatOut(2, 1) = inf;
            b.ui.file(dir.filePath(file));
            result = savePatsAs(b.wb);
        } else {
            if (what == "weight") {
                m.Weights(2, 1, 1) = std::numeric_limits<float>::quiet_NaN();
            } else if (what == "eta") {
                m.Eta = inf;
            } else {
                m.NormOn = true;
                m.OutNormA = {1, 1};
                m.OutNormB = {0, -inf};
            }
            result = saveNetCommand(b.wb);
        }
        QVERIFY(result.failed());
        QCOMPARE(b.ui.texts(), QStringList {"Cannot write " + dir.filePath(file) + ": " + reason});
        QCOMPARE(readBytes(dir.filePath("xor.net")), net);
        QCOMPARE(readBytes(dir.filePath("xor.wgt")), weights);
        QVERIFY(!QFile::exists(dir.filePath("saved.pat")));
    }

    // Another program saving the same network holds its lock: this save waits, then gives up
    // with nothing written, and goes through once the lock is free.
    void saveRespectsTheLockOfTheNetwork()
    {
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        const QString net = dir.filePath("xor.net");
        QVERIFY(loadNet(b.wb, net).done());
        b.wb.model.NetTitle = QStringLiteral("changed");
        const QByteArray before = readBytes(net);
        QLockFile other(net + ".lock");
        QVERIFY(other.tryLock(0));
        QVERIFY(saveNetCommand(b.wb).failed());
        QCOMPARE(b.ui.texts(),
                 QStringList {QStringLiteral("Cannot write %1: another program (process %2) is "
                                             "saving this network")
                                      .arg(net)
                                      .arg(QCoreApplication::applicationPid())});
        QCOMPARE(readBytes(net), before);
        other.unlock();
        QVERIFY(saveNetCommand(b.wb).done());
        QVERIFY(readBytes(net).contains("\"changed\""));
        QVERIFY(!QFile::exists(net + ".lock"));
    }

    // Save Net As never lands on a file the network reads in another role; the status bar names
    // the files a save wrote.
    void saveKeepsToItsOwnFiles()
    {
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        const QByteArray patterns = readBytes(dir.filePath("xor.pat"));
        b.ui.file(dir.filePath("xor.pat"));
        QVERIFY(saveNet(b.wb, true).failed());
        QCOMPARE(b.ui.texts(),
                 QStringList {"Cannot write " + dir.filePath("xor.pat")
                              + ": it is the network's pattern file"});
        QCOMPARE(readBytes(dir.filePath("xor.pat")), patterns);

        b.ui.file(dir.filePath("copy.net"));
        QVERIFY(saveNet(b.wb, true).done());
        QCOMPARE(b.ui.statuses().back(),
                 "Saved " + dir.filePath("copy.net") + " and " + dir.filePath("xor.wgt"));
    }

    void saveWeightsNeedsAWeightFile()
    {
        TestBench b;
        buildNetwork(b.wb);
        QVERIFY(!b.wb.model.HasWeightFile);
        QVERIFY(saveWeightsCommand(b.wb).cancelled());
        QVERIFY(b.ui.fileRequests().empty());

        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        QVERIFY(QFile::remove(dir.filePath("xor.wgt")));
        QCOMPARE(saveWeightsCommand(b.wb).name, dir.filePath("xor.wgt"));
        QVERIFY(QFile::exists(dir.filePath("xor.wgt")));
    }

    void layoutInTwips_data()
    {
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<QList<int>>("twips"); // top, left, height, width

        QTest::newRow("origin") << QRect(0, 0, 1, 1) << QList<int> {0, 0, 15, 15};
        QTest::newRow("frame") << QRect(90, 70, 1100, 760) << QList<int> {1050, 1350, 11400, 16500};
        QTest::newRow("left of the screen")
                << QRect(-8, -30, 400, 300) << QList<int> {-450, -120, 4500, 6000};
    }

    void layoutInTwips()
    {
        QFETCH(QRect, pixels);
        QFETCH(QList<int>, twips);

        const WindowLayout w = layoutRecord(QStringLiteral("REPORT"), 2, pixels);
        QCOMPARE(w.state, int16_t(2));
        QCOMPARE((QList<int> {w.top, w.left, w.height, w.width}), twips);
        QCOMPARE(layoutPixels(w), pixels);
    }

    void layoutFromOtherScreensRounds()
    {
        WindowLayout w;
        w.top = 7; // under half a pixel
        w.left = -23; // over one and a half pixels to the left
        w.height = 4567;
        w.width = 9000;
        QCOMPARE(layoutPixels(w), QRect(-2, 0, 600, 304));
        QCOMPARE(layoutTag(QStringLiteral("  report ")), QStringLiteral("REPORT"));
    }

private:
    QTemporaryDir m_cwd;
};

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
