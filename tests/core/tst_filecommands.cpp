#include <limits>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include "dataprep/createtest.h"
#include "files/editor.h"
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

// What is done to the open network before New Net or Open Net.
enum class Work { None, Title, Weights, Layers, TestSet };

} // namespace

Q_DECLARE_METATYPE(UiPort::Answer)
Q_DECLARE_METATYPE(SaveAs)
Q_DECLARE_METATYPE(Work)

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
        // Saved as a network of the same name elsewhere, it keeps its weight file.
        QVERIFY(QDir(dir.path()).mkdir("named"));
        const QString target = dir.filePath(hasNetFile ? "xor.net" : "named/xor.net");
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

        // A copy under a new name gets weights of its own: xor.net still names xor.wgt.
        b.ui.file(dir.filePath("copy.net"));
        b.ui.file(dir.filePath("copy.wgt"));
        QVERIFY(saveNet(b.wb, true).done());
        QCOMPARE(b.ui.statuses().back(),
                 "Saved " + dir.filePath("copy.net") + " and " + dir.filePath("copy.wgt"));
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

    // New Net and Open Net ask the save question whenever work would be lost: changed
    // parameters, layers or weights, or sets made by Create Test.
    void workIsSavedBeforeNewOrOpen_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<Work>("work");
        QTest::addColumn<UiPort::Answer>("answer");
        QTest::addColumn<bool>("goesOn");

        using A = UiPort::Answer;
        QTest::newRow("unchanged: the New Net question") << false << Work::None << A::Yes << true;
        QTest::newRow("unchanged: Open asks nothing") << true << Work::None << A::Ok << true;
        QTest::newRow("title changed, New: Cancel keeps it")
                << false << Work::Title << A::Cancel << false;
        QTest::newRow("trained, Open: No opens without saving")
                << true << Work::Weights << A::No << true;
        QTest::newRow("layer added, Open: Yes saves, then opens")
                << true << Work::Layers << A::Yes << true;
        QTest::newRow("test set made, New: Yes saves the sets and the network")
                << false << Work::TestSet << A::Yes << true;
    }

    void workIsSavedBeforeNewOrOpen()
    {
        QFETCH(bool, open);
        QFETCH(Work, work);
        QFETCH(UiPort::Answer, answer);
        QFETCH(bool, goesOn);

        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        // Another network with weights of its own.
        QVERIFY(QFile::copy(dir.filePath("xor.wgt"), dir.filePath("other.wgt")));
        QVERIFY(!writeFile(dir.path(), "other.net",
                           readBytes(dir.filePath("xor.net")).replace("xor.wgt", "other.wgt"))
                         .isEmpty());
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        NetModel &m = b.wb.model;
        switch (work) {
        case Work::None:
            break;
        case Work::Title:
            m.NetTitle = "Mine";
            b.wb.form.setText("TXT_Title", "Mine");
            break;
        case Work::Weights:
            randomizeWeights(b.wb);
            break;
        case Work::Layers:
            addLayer(b.wb);
            break;
        case Work::TestSet: {
            CreateTestChoice choice;
            openCreateTest(b.wb, choice);
            b.ui.answer(UiPort::Answer::Yes); // the existing test set is replaced
            QCOMPARE(createTest(b.wb, choice), CreateTestEnd::Created);
            break;
        }
        }
        b.ui.clear();
        const QByteArray xorNet = readBytes(dir.filePath("xor.net"));
        const QByteArray xorWeights = readBytes(dir.filePath("xor.wgt"));
        const bool asks = work != Work::None || !open;
        if (asks) {
            b.ui.answer(answer);
        }
        if (work == Work::TestSet && answer == UiPort::Answer::Yes) {
            b.ui.file(dir.filePath("train.pat"));
            b.ui.file(dir.filePath("test.tst"));
        }
        if (open && goesOn) {
            b.ui.file(dir.filePath("other.net"));
        }

        const bool done = open ? openNetCommand(b.wb).done() : newNetCommand(b.wb);
        QCOMPARE(done, goesOn);
        const QString question = work == Work::None
                ? QStringLiteral("Creating a new network will erase all parametrs\r\rContinue ?")
                : (open ? QStringLiteral("Save Net Before Opening Another Net")
                        : QStringLiteral("Save Net Before Creating a New Net"));
        QCOMPARE(b.ui.texts(), asks ? QStringList {question} : QStringList {});
        if (asks) {
            QCOMPARE(b.ui.shown().front().buttons,
                     work == Work::None ? UiPort::Buttons::YesNo : UiPort::Buttons::YesNoCancel);
        }
        QCOMPARE(m.NetFileName,
                 !goesOn ? dir.filePath("xor.net")
                         : (open ? dir.filePath("other.net") : QString()));
        QCOMPARE(m.NetTitle, goesOn ? (open ? "XOR" : "New Net") : "Mine");
        const bool saved = answer == UiPort::Answer::Yes && work != Work::None;
        QCOMPARE(readBytes(dir.filePath("xor.net")) != xorNet, saved);
        if (work == Work::Weights) {
            QCOMPARE(readBytes(dir.filePath("xor.wgt")), xorWeights);
        }
        if (work == Work::Layers) {
            QVERIFY(readBytes(dir.filePath("xor.net")).contains("Number of layers:\r\n 4 \r\n"));
        }
        if (work == Work::TestSet) {
            // The network names the sets just written.
            const QByteArray text = readBytes(dir.filePath("xor.net"));
            QVERIFY2(text.contains(dir.filePath("train.pat").toUtf8() + "\r\n")
                             && text.contains(dir.filePath("test.tst").toUtf8() + "\r\n"),
                     text.constData());
            TestBench again;
            QVERIFY(loadNet(again.wb, dir.filePath("xor.net")).done());
            QCOMPARE(again.wb.model.NumPats + again.wb.model.NumTestPats, 4);
            QCOMPARE(again.wb.model.NumTestPats, int16_t(1));
        }
    }

    // Any network can be saved: the save asks for the file names it lacks.
    void newNetworkCanBeSaved()
    {
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        const FormState &f = b.wb.form;
        for (const char *command : {"MNU_FILE_SaveNet", "MNU_FILE_SaveNetAs", "save"}) {
            QVERIFY2(f.isEnabled(command), command);
        }
        QVERIFY(f.isVisible("save"));
        QTemporaryDir dir;
        b.ui.file(dir.filePath("new.wgt"));
        b.ui.file(dir.filePath("new.net"));
        QVERIFY(saveNetCommand(b.wb).done());
        QVERIFY(QFile::exists(dir.filePath("new.wgt")) && QFile::exists(dir.filePath("new.net")));
    }

    // Saved under a new name, a network gets a weight file of its own, proposed after the new
    // name; the weight file the other network names is never rewritten.
    void saveAsKeepsTheOtherNetworksWeights_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("named after the new network") << false;
        QTest::newRow("weight dialog cancelled: nothing written") << true;
    }

    void saveAsKeepsTheOtherNetworksWeights()
    {
        QFETCH(bool, cancel);
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        randomizeWeights(b.wb);
        const QByteArray xorWeights = readBytes(dir.filePath("xor.wgt"));
        b.ui.file(dir.filePath("xor2.net"));
        if (cancel) {
            b.ui.cancelFile();
        } else {
            b.ui.file(dir.filePath("xor2.wgt"));
        }

        const FileResult saved = saveNet(b.wb, true);
        QCOMPARE(saved.done(), !cancel);
        QCOMPARE(int(b.ui.fileRequests().size()), 2);
        QCOMPARE(b.ui.fileRequests()[1].title, QStringLiteral("Save Weights As"));
        QCOMPARE(b.ui.fileRequests()[1].initialName, dir.filePath("xor2.wgt"));
        QCOMPARE(readBytes(dir.filePath("xor.wgt")), xorWeights);
        QCOMPARE(QFile::exists(dir.filePath("xor2.net")), !cancel);
        QCOMPARE(QFile::exists(dir.filePath("xor2.wgt")), !cancel);
        QCOMPARE(b.wb.model.WeightsChanged, cancel);
        if (!cancel) {
            QVERIFY(readBytes(dir.filePath("xor2.net"))
                            .contains(dir.filePath("xor2.wgt").toUtf8()));
            QCOMPARE(b.wb.form.text("LBL_WeightFile"), dir.filePath("xor2.wgt"));
        }
        // Saving again under its own name asks nothing more.
        if (!cancel) {
            QVERIFY(saveNetCommand(b.wb).done());
            QCOMPARE(int(b.ui.fileRequests().size()), 2);
        }
    }

    // "<- Edit" and "Save and Edit" say so when the editor cannot be started.
    void editorThatCannotStartIsSaid_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("starts");
        QTest::newRow("editor starts") << "kate --new" << true;
        QTest::newRow("program not found") << "no-such-editor" << false;
        QTest::newRow("no command") << "" << false;
    }

    void editorThatCannotStartIsSaid()
    {
        QFETCH(QString, command);
        QFETCH(bool, starts);
        TestBench b;
        b.wb.model.EditorCommand = command;
        b.desktop.programsStart = !command.isEmpty() && starts;
        QCOMPARE(startEditor(b.wb, "/data/x.pat"), starts);
        if (starts) {
            QVERIFY(b.ui.texts().isEmpty());
        } else {
            QCOMPARE(b.ui.texts(),
                     QStringList {"The editor could not be started: \"" + command
                                  + "\"\n\rEnter the editor's command in Setup (menu "
                                    "\"Setup...\")."});
            QCOMPARE(b.ui.shown().front().icon, UiPort::Icon::Exclamation);
        }
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
