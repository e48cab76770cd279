#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "files/netcommands.h"
#include "files/weightcommands.h"
#include "filetesthelpers.h"
#include "linkedengine.h"
#include "model/netfile.h"
#include "model/weightfile.h"
#include "near.h"
#include "training/construction.h"
#include "training/parameters.h"
#include "training/training.h"

namespace {

struct Bench : TestBench
{
    Bench() { buildNetwork(wb); }
};

const QStringList XorFiles {"xor.net", "xor.pat", "xor.wgt", "xor.tst"};

// The text up to the desktop section.
QByteArray withoutDesktop(const QByteArray &text)
{
    return text.left(text.indexOf("Desktop Information:"));
}

QByteArray replaceLine(QByteArray text, const QByteArray &from, const QByteArray &to)
{
    return text.replace("\r\n" + from + "\r\n", "\r\n" + to + "\r\n");
}

// Everything the main window shows, control by control.
QStringList formShown(const FormState &f)
{
    QStringList shown;
    for (const QString &c : f.controls()) {
        shown << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                         .arg(c, f.text(c))
                         .arg(f.isEnabled(c))
                         .arg(f.isVisible(c))
                         .arg(f.isChecked(c))
                         .arg(f.items(c).join(u','))
                         .arg(f.currentIndex(c));
    }
    return shown;
}

// What an open network is: its layers, parameters, files, flags, weights and data.
QStringList networkOf(const NetModel &m)
{
    QStringList about {m.NetTitle,
                       m.NetFileName,
                       QString::number(m.NumLayers),
                       QString::number(m.Eta),
                       QString::number(m.NumPats),
                       QString::number(m.NumTestPats),
                       QString::number(m.HasNetFile),
                       QString::number(m.HasPatterns),
                       QString::number(m.HasWeightFile),
                       QString::number(m.HasTest),
                       QString::number(m.WeightsChanged),
                       QString::number(m.IterCount)};
    for (const Array3 *a : {&m.Weights, &m.WeightDelta}) {
        const std::size_t n =
                std::size_t(a->dim1()) * std::size_t(a->dim2()) * std::size_t(a->dim3());
        for (std::size_t i = 0; i < n; ++i) {
            about << QString::number(a->data()[i]);
        }
    }
    for (const Array2 *a : {&m.PatIn, &m.PatOut, &m.TstIn}) {
        for (float v : a->values()) {
            about << QString::number(v);
        }
    }
    return about;
}

} // namespace

class TestNetFile : public QObject
{
    Q_OBJECT

private slots:

    void initTestCase()
    {
        // The local-name rule looks in the current directory: an empty one finds nothing.
        QVERIFY(m_cwd.isValid());
        QVERIFY(QDir::setCurrent(m_cwd.path()));
    }

    void newNetworkFileBegins()
    {
        Bench b;
        QTemporaryDir dir;
        const QString net = dir.filePath("new.net");
        b.ui.file(dir.filePath("new.wgt"));
        b.ui.file(net);
        QVERIFY(saveNet(b.wb, true).done());
        QCOMPARE(b.ui.texts(), QStringList {"You will first be prompted for the weight file name"});
        QCOMPARE(b.ui.shown().front().icon, UiPort::Icon::Information);
        QCOMPARE(b.ui.fileRequests().size(), std::size_t(2));
        QCOMPARE(b.ui.fileRequests()[0].title, QStringLiteral("Save Weights As"));
        const UiPort::FileRequest &r = b.ui.fileRequests()[1];
        QCOMPARE(r.title, QStringLiteral("Save Net As"));
        QCOMPARE(r.filter, QStringLiteral("Net Files (*.net)"));
        QCOMPARE(r.defaultExtension, QStringLiteral("net"));
        // Named after the weight file just chosen.
        QCOMPARE(r.initialName, dir.filePath("new.net"));

        const QList<QByteArray> lines = readBytes(net).split('\n');
        const QList<QByteArray> expected {"Axona 1.7\r",
                                          "\"New Net\"\r",
                                          "Number of layers:\r",
                                          " 3 \r",
                                          "Layers size:\r",
                                          "2  2  1  \r",
                                          "Nueron function for each layer:\r",
                                          "1 1 1 \r",
                                          "Eta and alpha:\r",
                                          " .2           " + QByteArray(" .5 \r")};
        QCOMPARE(lines.mid(0, 10), expected);
        // No pattern or test file: their captions in lower case; an empty desktop.
        const qsizetype files = lines.indexOf("Data Files:\r");
        QVERIFY(files > 0);
        QCOMPARE(lines[files + 1], QByteArray("click here to open file\r"));
        QCOMPARE(lines[files + 2], dir.filePath("new.wgt").toUtf8() + '\r');
        QCOMPARE(lines[files + 3], QByteArray("click here to open file\r"));
        QCOMPARE(lines.mid(files + 4), QList<QByteArray>({"Desktop Information:\r", " 0 \r", ""}));

        const NetModel &m = b.wb.model;
        QVERIFY(m.HasNetFile && !m.WeightsChanged);
        QCOMPARE(m.NetFileName, net);
        QCOMPARE(b.desktop.captions.back(), QStringLiteral("Axona-new.net"));
        QVERIFY(b.wb.form.isEnabled("MNU_FILE_SaveNet"));
    }

    void cancelledWeightDialogStillSavesTheNetwork()
    {
        Bench b;
        b.wb.model.WeightsChanged = true;
        QTemporaryDir dir;
        const QString net = dir.filePath("no-weights.net");
        b.ui.cancelFile();
        b.ui.file(net);
        QVERIFY(saveNet(b.wb, true).done());
        const QByteArray text = readBytes(net);
        QVERIFY(text.contains(
                "Data Files:\r\nclick here to open file\r\nclick here to open file\r\n"
                "click here to open file\r\nDesktop"));
        QVERIFY(!b.wb.model.WeightsChanged);
        // Nothing is written under the caption's name.
        QVERIFY(!QFileInfo::exists(QDir::current().filePath("Click here to Open File")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"no-weights.net"});
    }

    void savedAndReopenedGivesTheSameText_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xor") << "xor.net";
        QTest::newRow("normalised") << "norm.net";
    }

    void savedAndReopenedGivesTheSameText()
    {
        QFETCH(QString, file);
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles + QStringList {"norm.net"}));
        bool loadingWhileRestoring = false;
        b.desktop.onRestore = [&] { loadingWhileRestoring = b.wb.model.NetLoading; };
        QVERIFY(loadNet(b.wb, dir.filePath(file)).done());
        QVERIFY(loadingWhileRestoring && !b.wb.model.NetLoading);
        QCOMPARE(b.desktop.captions.back(), "Axona-" + file);

        b.desktop.layout = {{"MDI", 0, 1200, 900, 9000, 12000}, {"CPL", 2, 0, 0, 6000, 9000}};
        b.ui.file(dir.filePath("first.net"));
        b.ui.file(dir.filePath("first.wgt"));
        QVERIFY(saveNet(b.wb, true).done());
        const QByteArray first = readBytes(dir.filePath("first.net"));
        QVERIFY(first.endsWith("Desktop Information:\r\n 2 \r\n"
                               "\"MDI\"          0             1200          900           9000 "
                               "         12000 \r\n"
                               "\"CPL\"          2             0             0             6000 "
                               "         9000 \r\n"));

        Bench again;
        QVERIFY(loadNet(again.wb, dir.filePath("first.net")).done());
        QVERIFY(again.ui.texts().isEmpty());
        // Under the same name in another folder the network keeps its weight file.
        QVERIFY(QDir(dir.path()).mkdir("second"));
        const QString second = dir.filePath("second/first.net");
        again.ui.file(second);
        QVERIFY(saveNet(again.wb, true).done());
        QCOMPARE(withoutDesktop(readBytes(second)), withoutDesktop(first));
        QVERIFY(readBytes(second).endsWith("Desktop Information:\r\n 0 \r\n"));
    }

    void awkwardTextsReadBack()
    {
        // Quotes, line breaks and commas would end their fields early on reading and shift
        // every later field; the file is written so that all of them read back.
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(QFile::rename(dir.filePath("xor.pat"), dir.filePath("x, y.pat")));
        QVERIFY(loadWeights(b.wb, false, dir.filePath("xor.wgt")).done());
        b.wb.form.setText("LBL_DataFile", dir.filePath("x, y.pat"));
        b.wb.model.HasPatterns = true;
        b.wb.model.NetTitle = "Say \"hi\"\r\nto XOR";
        b.wb.model.Graph[2].YLabel = "a,\"b\"";
        b.wb.model.Eta = 0.25f;
        QVERIFY(saveNet(b.wb, false, dir.filePath("awkward.net")).done());
        QVERIFY(readBytes(dir.filePath("awkward.net"))
                        .contains("Data Files:\r\n\"" + dir.filePath("x, y.pat").toUtf8()
                                  + "\"\r\n"));

        Bench again;
        QVERIFY(loadNet(again.wb, dir.filePath("awkward.net")).done());
        QVERIFY(again.ui.texts().isEmpty());
        const NetModel &m = again.wb.model;
        QCOMPARE(m.NetTitle, QStringLiteral("Say 'hi'  to XOR"));
        QCOMPARE(m.Graph[2].YLabel, QStringLiteral("a,'b'"));
        QVERIFY(near(m.Eta, 0.25, 1e-7));
        QCOMPARE(again.wb.form.text("LBL_DataFile"), dir.filePath("x, y.pat"));
        QCOMPARE(m.NumPats, int16_t(4));
    }

    void xorNetworkLoads()
    {
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        const QList<WindowLayout> restored = b.desktop.restored.value(0);
        const NetModel &m = b.wb.model;
        const FormState &f = b.wb.form;
        QCOMPARE(m.NetTitle, QStringLiteral("XOR"));
        QCOMPARE(f.text("TXT_Title"), QStringLiteral("XOR"));
        QVERIFY(near(m.Eta, 0.5, 1e-7) && near(m.Alpha, 0.9, 1e-7)
                && near(m.TargetErr, 0.05, 1e-7));
        QCOMPARE(f.text("TXT_Eta"), QStringLiteral("0.5"));
        QCOMPARE(f.text("TXT_minW"), QStringLiteral("-3"));
        QCOMPARE(f.text("TXT_EpocLen"), QStringLiteral("4"));
        QCOMPARE(m.CurLayer, int16_t(1));
        QCOMPARE(f.text("PNL_Lindex"), QStringLiteral("2"));
        QCOMPARE(m.NumPats, int16_t(4));
        QCOMPARE(m.NumTestPats, int16_t(2));
        QCOMPARE(f.text("LBL_DataFile"), dir.filePath("xor.pat"));
        QCOMPARE(f.text("LBL_WeightFile"), dir.filePath("xor.wgt"));
        QCOMPARE(f.text("LBL_TestFile"), dir.filePath("xor.tst"));
        QCOMPARE(m.Weights(2, 3, 2), -15.0f);
        QCOMPARE(f.text("PNL_NW"), QStringLiteral("9"));
        QVERIFY(m.HasNetFile && m.HasPatterns && m.HasTest && m.HasWeightFile && !m.WeightsChanged);
        QCOMPARE(m.NetFileName, dir.filePath("xor.net"));
        QVERIFY(f.isEnabled("train") && f.isEnabled("runtest") && f.isEnabled("MNU_FILE_SaveNet"));
        QCOMPARE(restored.size(), 2);
        QCOMPARE(restored[1].tag, QStringLiteral("CPL"));
        QCOMPARE(restored[1].state, int16_t(2));
        QCOMPARE(restored[1].width, 9000);
        QVERIFY(b.ui.texts().isEmpty());
        QCOMPARE(b.ui.busyDepth(), 0);
        // The hand-set weights solve XOR.
        const float rms = trainingSetError(b);
        QVERIFY2(rms >= 0 && rms < 0.02f, qPrintable(QString::number(rms)));
    }

    void exampleNetworkStartsUnsolvedAndLearnsXor()
    {
        Bench b;
        QVERIFY(loadNet(b.wb, dataFile("../../examples/xor.net")).done());
        QVERIFY(b.ui.texts().isEmpty());
        QCOMPARE(b.wb.model.NumPats, int16_t(4));
        QCOMPARE(b.wb.form.text("TXT_EpocLen"), QStringLiteral("4"));
        // A new user sees the error fall: the shipped weights are a random start.
        QVERIFY(trainingSetError(b) > 0.3f);
        QCOMPARE(trainNet(b.wb, TrainOptions {20000, 0.0, {}}), TrainEnd::TargetReached);
    }

    void olderVersions_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("trainMode");
        QTest::addColumn<double>("growth");
        QTest::addColumn<double>("cutOff");
        QTest::addColumn<int>("groups");
        QTest::addColumn<bool>("testSet");
        const QString using17 = QStringLiteral("You are using version 1.7\n\rThis file was created "
                                               "with version ");
        QTest::newRow("0.91") << "v091.net" << using17 + " 0.91" << 1 << 1.75 << 30.0 << 3 << false;
        QTest::newRow("0.96") << "v096.net" << using17 + " 0.96" << 1 << 1.75 << 30.0 << 5 << false;
        QTest::newRow("1.0") << "v10.net" << using17 + " 1.0" << 2 << 2.5 << 20.0 << 5 << false;
        QTest::newRow("1.2") << "v12.net" << using17 + " 1.2" << 2 << 2.5 << 20.0 << 6 << false;
    }

    void olderVersions()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(int, trainMode);
        QFETCH(double, growth);
        QFETCH(double, cutOff);
        QFETCH(int, groups);
        QFETCH(bool, testSet);
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles + QStringList {file}));
        QVERIFY(loadNet(b.wb, dir.filePath(file)).done());
        QCOMPARE(b.ui.texts(), QStringList {message});
        QCOMPARE(b.ui.shown().front().icon, UiPort::Icon::Information);
        const NetModel &m = b.wb.model;
        QCOMPARE(m.TrainMode, int16_t(trainMode));
        QVERIFY(near(m.GrowthFactor, growth, 1e-7));
        QVERIFY(near(m.WCutOff, cutOff, 1e-7));
        QVERIFY(near(m.Eta, 0.5, 1e-7));
        QCOMPARE(m.HasTest, testSet);
        // Groups 1..n come from the file, the others keep their New Net settings.
        for (int g = 1; g <= 6; ++g) {
            QCOMPARE(m.Graph[std::size_t(g)].Title,
                     g <= groups ? "G" + QString::number(g) : QString());
        }
        QCOMPARE(m.Graph[4].XLabel, QStringLiteral("Input no."));
        QCOMPARE(m.Graph[3].GraphType, int16_t(6));
        QVERIFY(near(trainingSetError(b), 0.0, 0.02));
    }

    void badNetFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("loads");
        const QByteArray xor_ = readBytes(dataFile("xor.net"));
        const QString signature =
                QStringLiteral("This is not a valid .NET file.\n\rFor files created "
                               "with version 0.9, Search help for: Revisions.");
        const QString reading = QStringLiteral("Error reading %1\n\rError: ");
        const QString errorIn = QStringLiteral("Error in %1");
        QTest::newRow("empty") << QByteArray() << QStringList {signature} << false;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\x00\x00", 10)
                                << QStringList {signature} << false;
        QTest::newRow("other signature") << QByteArray(xor_).replace("Axona 1.7", "Axon 1.7")
                                         << QStringList {signature} << false;
        QTest::newRow("signature only")
                << QByteArray("Axona 1.7\r\n")
                << QStringList {reading + "the network file names no pattern file"} << false;
        QTest::newRow("seven layers")
                << replaceLine(xor_, " 3 ", " 7 ")
                << QStringList {reading + "the network has 7 layers; a network has 2 to 5"}
                << false;
        QTest::newRow("negative layer count")
                << replaceLine(xor_, " 3 ", "-3 ")
                << QStringList {reading + "the network has -3 layers; a network has 2 to 5"}
                << false;
        QTest::newRow("layer of 0 nodes")
                << replaceLine(xor_, "2  2  1  ", "2  0  1  ")
                << QStringList {reading + "layer 2 has 0 nodes; a layer has 1 to 1024"} << false;
        QTest::newRow("layer of 2000 nodes")
                << replaceLine(xor_, "2  2  1  ", "2  2000  1  ")
                << QStringList {reading + "layer 2 has 2000 nodes; a layer has 1 to 1024"} << false;
        QTest::newRow("too many weights") << replaceLine(xor_, "2  2  1  ", "1024  30  1024  ")
                                          << QStringList {"Total no. of weights exceeds the limit "
                                                          "of 32767\n\rChange the size of "
                                                          "the network and try again.",
                                                          errorIn}
                                          << false;
        QTest::newRow("neuron function 9")
                << replaceLine(xor_, "1 1 1 ", "1 1 9 ")
                << QStringList {reading
                                + "the neuron function of layer 3 is 9; the functions are 1 to 5"}
                << false;
        // Without data links (this workbench has none) a linked set cannot be made.
        QTest::newRow("linked patterns")
                << replaceLine(xor_, "xor.pat", "!Excel|Sheet1!R1C1:R4C3")
                << QStringList {"Could Not Start DDE",
                                reading + "the data link Excel|Sheet1!R1C1:R4C3 could not be made"}
                << false;
        QTest::newRow("dollar-linked patterns")
                << replaceLine(xor_, "xor.pat", "$Sheet1!R1C1:R4C3")
                << QStringList {"Could Not Start DDE",
                                reading + "the data link Sheet1!R1C1:R4C3 could not be made"}
                << false;
        QTest::newRow("linked tests")
                << replaceLine(xor_, "xor.tst", "!Excel|Sheet1!R1C1:R2C3")
                << QStringList {"Could Not Start DDE",
                                reading + "the data link Excel|Sheet1!R1C1:R2C3 could not be made"}
                << false;
        QTest::newRow("pattern file missing")
                << replaceLine(xor_, "xor.pat", "nothere.pat")
                << QStringList {"Error in Pattern file\n\rError: Cannot read %2/nothere.pat: No "
                                "such file "
                                "or directory",
                                reading + "the pattern file nothere.pat could not be loaded"}
                << false;
        QTest::newRow("pattern file for 3 inputs")
                << replaceLine(xor_, "xor.pat", "three.pat")
                << QStringList {"Pattern file and net size do not agree !!!\n\rread, no. of "
                                "inputs=3 "
                                "Outputs=1",
                                reading + "the pattern file three.pat could not be loaded"}
                << false;
        QTest::newRow("weight file missing")
                << replaceLine(xor_, "xor.wgt", "nothere.wgt")
                << QStringList {"Error in Weight file\n\rError: Cannot read %2/nothere.wgt: No "
                                "such file "
                                "or directory",
                                errorIn}
                << false;
        QTest::newRow("weights of another network")
                << replaceLine(xor_, "xor.wgt", "w13.wgt")
                << QStringList {"Number of weights do not agree with net size ! ! !", errorIn}
                << false;
        QTest::newRow("saved without weights")
                << replaceLine(xor_, "xor.wgt", "click here to open file") << QStringList {errorIn}
                << false;
        QTest::newRow("normalised, cut after the flags")
                << xor_.left(xor_.indexOf("Graph Settings"))
                           .replace("\r\n 0             0 \r\n", "\r\n-1             0 \r\n")
                << QStringList {reading + "input normalization factor a of line 1 is missing"}
                << false;
        QTest::newRow("test file missing") << replaceLine(xor_, "xor.tst", "nothere.tst")
                                           << QStringList {"Error in Test file\n\rError: Cannot "
                                                           "read %2/nothere.tst: No such file or "
                                                           "directory"}
                                           << true;
        QTest::newRow("desktop promising 30000 windows")
                << xor_.left(xor_.indexOf("Desktop Information:"))
                        + "Desktop Information:\r\n 30000 \r\n"
                << QStringList {} << true;
        // Number lines split into one value per line; label and text lines stay whole.
        QByteArray spread;
        for (const QByteArray &line : xor_.split('\n')) {
            const bool numbers = !line.trimmed().isEmpty()
                    && !QString::fromLatin1(line).contains(QRegularExpression("[^-0-9. \\r]"));
            spread += (numbers ? line.simplified().replace(' ', "\r\n") + '\r' : line) + '\n';
        }
        QTest::newRow("one value per line") << spread.chopped(1) << QStringList {} << true;
    }

    void badNetFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, messages);
        QFETCH(bool, loads);
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(!writeFile(dir.path(), "three.pat", "1 3 1\r\n1 2 3 4\r\n").isEmpty());
        QVERIFY(!writeFile(dir.path(), "w13.wgt", "13\r\n").isEmpty());
        const QString net = writeFile(dir.path(), "bad.net", text);
        QVERIFY(!net.isEmpty());
        QStringList expected;
        for (const QString &m : messages) {
            expected.append(QString(m).replace("%1", net).replace("%2", dir.path()));
        }

        // An open network, trained and not saved, that a failed read must leave as it is.
        const QString open = dir.filePath("xor.net");
        QVERIFY(loadNet(b.wb, open).done());
        parameterTextChanged(b.wb, "TXT_Eta", "2");
        parameterTextChanged(b.wb, "TXT_TargetErr", "0");
        QCOMPARE(trainNet(b.wb, TrainOptions {3, 0.0, {}}), TrainEnd::LimitReached);
        b.ui.clear();
        const QStringList network = networkOf(b.wb.model);
        const QStringList shown = formShown(b.wb.form);
        const int satelliteCloses = b.desktop.satelliteCloses;

        QCOMPARE(loadNet(b.wb, net).done(), loads);
        QCOMPARE(b.ui.texts(), expected);
        const NetModel &m = b.wb.model;
        QVERIFY(m.HasNetFile);
        QCOMPARE(m.NetFileName, loads ? net : open);
        QCOMPARE(b.desktop.captions.back(), loads ? "Axona-bad.net" : "Axona-xor.net");
        QCOMPARE(b.desktop.restored.size(), loads ? 2 : 1);
        QCOMPARE(b.desktop.satelliteCloses, satelliteCloses + int(loads));
        if (!loads) {
            QCOMPARE(networkOf(m), network);
            QCOMPARE(formShown(b.wb.form), shown);
        }
        QVERIFY(!m.NetLoading);
        QCOMPARE(b.ui.busyDepth(), 0);
        // The arrays fit the layer list whatever stopped the load, and a good file loads after.
        QVERIFY(m.arraysMatchLayers());
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        QVERIFY(near(trainingSetError(b), 0.0, 0.02));
    }

    // A stored epoch length outside 1..patterns goes through the box's check: said once, the
    // box shows the number of patterns, and the network trains.
    void storedEpochLengthIsChecked_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("said");
        QTest::newRow("2 of 4") << QByteArray(" 2 ") << "2" << false;
        QTest::newRow("0") << QByteArray(" 0 ") << "4" << true;
        QTest::newRow("9 of 4") << QByteArray(" 9 ") << "4" << true;
        QTest::newRow("negative") << QByteArray("-3 ") << "4" << true;
    }

    void storedEpochLengthIsChecked()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        QFETCH(bool, said);
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QByteArray text = readBytes(dir.filePath("xor.net"));
        const QByteArray label = "Epoc length; Random sampling:\r\n";
        const qsizetype at = text.indexOf(label) + label.size();
        QCOMPARE(text.mid(at, 3), QByteArray(" 4 "));
        text.replace(at, 3, stored);
        const QString net = writeFile(dir.path(), "epoch.net", text);
        QVERIFY(loadNet(b.wb, net).done());
        QCOMPARE(b.ui.texts(),
                 said ? QStringList {"Epoc Lenght Should Be between 1 to 4"} : QStringList {});
        QCOMPARE(b.wb.form.text("TXT_EpocLen"), shown);
        b.ui.clear();
        QVERIFY(trainNet(b.wb, TrainOptions {1, 0.0, {}}) != TrainEnd::Refused);
        QVERIFY(b.ui.texts().isEmpty());
    }

    void namesWrittenOnWindowsAreFoundBesideTheNetwork()
    {
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), {"windows.net"}));
        QVERIFY(QFile::copy(dataFile("xor.pat"), dir.filePath("Xor.pat")));
        QVERIFY(QFile::copy(dataFile("xor.wgt"), dir.filePath("xor.wgt")));
        QVERIFY(QFile::copy(dataFile("xor.tst"), dir.filePath("XOR.TST")));
        QVERIFY(loadNet(b.wb, dir.filePath("windows.net")).done());
        const FormState &f = b.wb.form;
        QCOMPARE(f.text("LBL_DataFile"), dir.filePath("Xor.pat"));
        QCOMPARE(f.text("LBL_WeightFile"), dir.filePath("xor.wgt"));
        QCOMPARE(f.text("LBL_TestFile"), dir.filePath("XOR.TST"));
        QCOMPARE(b.wb.model.NumTestPats, int16_t(2));
    }

    void normalisedNetworkNormalisesItsData()
    {
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles + QStringList {"norm.net"}));
        QVERIFY(loadNet(b.wb, dir.filePath("norm.net")).done());
        const NetModel &m = b.wb.model;
        QVERIFY(m.NormOn && !m.GlobalNorm);
        QCOMPARE(m.InNormA.size(), std::size_t(3));
        // Pattern 2 is 0 1 -> 1: inputs 2x-1 and 4x-2, output .8x+.1.
        QVERIFY(near(m.PatIn(2, 1), -1, 1e-6) && near(m.PatIn(2, 2), 2, 1e-6));
        QVERIFY(near(m.PatOut(2, 1), 0.9, 1e-6));
        // The test set takes the same factors: .1 .9 -> 1.
        QVERIFY(near(m.TstIn(1, 1), -0.8, 1e-6) && near(m.TstIn(1, 2), 1.6, 1e-6));
    }

    void cancelledOpenChangesNothing()
    {
        Bench b;
        b.wb.model.NetTitle = "Mine";
        b.ui.cancelFile();
        QVERIFY(loadNet(b.wb).cancelled());
        const UiPort::FileRequest &r = b.ui.fileRequests().back();
        QCOMPARE(r.title, QStringLiteral("Open Net File"));
        QCOMPARE(r.filter, QStringLiteral("Net Files (*.net)"));
        QCOMPARE(r.defaultExtension, QStringLiteral("net"));
        QCOMPARE(r.initialName, QStringLiteral("*.net"));
        QCOMPARE(b.wb.model.NetTitle, QStringLiteral("Mine"));
        QVERIFY(!b.wb.model.NetLoading);
        QVERIFY(b.ui.texts().isEmpty());
    }

    void failedWritesLeaveTheModel()
    {
        Bench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), XorFiles));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        NetModel &m = b.wb.model;

        // The network file cannot be written: reported, the network keeps its file.
        const QString badNet = dir.filePath("missing/xor.net");
        b.ui.file(badNet);
        QVERIFY(saveNet(b.wb, true).failed());
        QCOMPARE(b.ui.texts().size(), 1);
        QVERIFY(b.ui.texts().back().startsWith("Cannot write " + badNet + ": "));
        QCOMPARE(m.NetFileName, dir.filePath("xor.net"));
        QCOMPARE(b.desktop.captions.back(), QStringLiteral("Axona-xor.net"));

        // The weights cannot be written: reported, and no network file names them.
        m.WeightsChanged = true;
        const QString badWeights = dir.filePath("missing/xor.wgt");
        b.wb.form.setText("LBL_WeightFile", badWeights);
        const QString target = dir.filePath("copy.net");
        QVERIFY(saveNet(b.wb, false, target).failed());
        QVERIFY(b.ui.texts().back().startsWith("Cannot write " + badWeights + ": "));
        QVERIFY(m.WeightsChanged);
        QVERIFY(!QFileInfo::exists(target));
    }

    void refusedLayerListIsNotSaved()
    {
        Bench b;
        b.wb.form.setItems("CMB_LayerSize", {"1024", "30", "1024"});
        QVERIFY(!buildNetwork(b.wb));
        b.ui.clear();
        QTemporaryDir dir;
        QVERIFY(saveNet(b.wb, false, dir.filePath("refused.net")).failed());
        QCOMPARE(b.ui.texts(),
                 QStringList {"The network was not built with the layer sizes shown.\n\r"
                              "Change the size of the network and try again."});
        QVERIFY(!QFileInfo::exists(dir.filePath("refused.net")));
    }

    void graphGroupsByVersion_data()
    {
        QTest::addColumn<double>("version");
        QTest::addColumn<int>("groups");
        QTest::newRow("0.9") << 0.9 << 3;
        QTest::newRow("0.91") << 0.91 << 3;
        QTest::newRow("0.93") << 0.93 << 4;
        QTest::newRow("0.94") << 0.94 << 5;
        QTest::newRow("1.19") << 1.19 << 5;
        QTest::newRow("1.2") << 1.2 << 6;
        QTest::newRow("1.7") << 1.7 << 6;
    }

    void graphGroupsByVersion()
    {
        QFETCH(double, version);
        QFETCH(int, groups);
        QCOMPARE(graphGroupCount(version), groups);
    }

private:
    QTemporaryDir m_cwd;
};

QTEST_GUILESS_MAIN(TestNetFile)
#include "tst_netfile.moc"
