#include <optional>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "export/cexport.h"
#include "filetesthelpers.h"

namespace {

using Outputs = QList<QList<double>>;

// The output columns of the pattern lines of a run report ("0001) out target out target ...").
Outputs reportOutputs(const QString &report, int outputs)
{
    Outputs rows;
    static const QRegularExpression line(QStringLiteral("^\\d{4}\\)(.*)$"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString &text : report.split(u'\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch()) {
            continue;
        }
        const QStringList fields = m.captured(1).split(blanks, Qt::SkipEmptyParts);
        QList<double> row;
        for (int k = 0; k < outputs; ++k) {
            row << fields.value(2 * k).toDouble();
        }
        rows << row;
    }
    return rows;
}

// Rows of blank-separated numbers, after any leading "0001)".
Outputs numberRows(const QString &text)
{
    Outputs rows;
    for (QString line : text.split(u'\n', Qt::SkipEmptyParts)) {
        line.remove(QRegularExpression(QStringLiteral("^\\d{4}\\)")));
        QList<double> row;
        for (const QString &field : line.split(u' ', Qt::SkipEmptyParts)) {
            row << field.toDouble();
        }
        rows << row;
    }
    return rows;
}

// The largest difference between two tables, relative above 1; infinity when they differ in
// shape.
double worstDifference(const Outputs &a, const Outputs &b)
{
    if (a.isEmpty() || a.size() != b.size()) {
        return qInf();
    }
    double worst = 0;
    for (qsizetype p = 0; p < a.size(); ++p) {
        if (a[p].size() != b[p].size()) {
            return qInf();
        }
        for (qsizetype k = 0; k < a[p].size(); ++k) {
            const double scale = std::max(1.0, std::fabs(b[p][k]));
            worst = std::max(worst, std::fabs(a[p][k] - b[p][k]) / scale);
        }
    }
    return worst;
}

// What the program printed, or nothing when it failed (its output shown).
std::optional<QString>
runProgram(const QString &folder, const QString &program, const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning().noquote() << program << args << "failed:" << p.readAllStandardError()
                             << p.readAllStandardOutput();
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// A trained network out of the workbench: CSV import, training, export to C (compiled with cc)
// and to ONNX (run by ONNX Runtime), both giving "axona run"'s outputs in data units, for every
// neuron function and for log-normalised data.
class TestExport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void cli(const QStringList &arguments)
    {
        const CliRun r = runCli(m_dir.path(), arguments);
        QVERIFY2(r.status == 0, qPrintable(arguments.join(u' ') + u'\n' + r.err));
    }

    // A copy of net whose layers above the input layer all have neuron function code.
    QString withFunction(const QString &net, int code)
    {
        QFile file(path(net));
        if (!file.open(QIODevice::ReadOnly)) {
            return QString();
        }
        QString text = QString::fromUtf8(file.readAll());
        static const QRegularExpression functions(
                QStringLiteral("(Nueron function for each layer:\\r?\\n)1 ([0-9 ]*)"));
        const QRegularExpressionMatch m = functions.match(text);
        if (!m.hasMatch()) {
            return QString();
        }
        QString codes = m.captured(2);
        codes.replace(QRegularExpression(QStringLiteral("[0-9]")), QString::number(code));
        text.replace(m.capturedStart(2), m.capturedLength(2), codes);
        const QString copy = QStringLiteral("f%1-%2").arg(code).arg(net);
        QFile out(path(copy));
        if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0) {
            return QString();
        }
        return copy;
    }

private slots:

    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QFile::copy(dataFile("../../examples/iris.csv"), path("iris.csv")));
        // The species as three one-hot outputs, and the petal width from the other measures
        // with both sides log-normalised.
        cli({"import", "iris.csv", "-o", "iris.pat", "--test-percent", "20", "--seed", "3", "--net",
             "iris.net", "--hidden", "5"});
        cli({"normalize", "iris.net", "--in-range", "-3", "3", "--out-range", "0.1", "0.9"});
        cli({"train", "iris.net", "--max-iterations", "200", "--save"});
        cli({"import", "iris.csv", "-o", "width.pat", "--inputs", "1-3", "--outputs", "petal_width",
             "--net", "width.net", "--hidden", "4"});
        cli({"normalize", "width.net", "--in-log", "--out-log", "--in-range", "-1", "1",
             "--out-range", "0.1", "0.9"});
        cli({"train", "width.net", "--max-iterations", "200", "--save"});
    }

    void exportsMatchRun_data()
    {
        QTest::addColumn<QString>("net");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("outputs");
        const char *const names[] = {"Sigmoid", "Linear", "Tanh", "Gaussian", "Sigmoid+0.1"};
        for (int code = 1; code <= 5; ++code) {
            QTest::addRow("iris, %s", names[code - 1]) << "iris.net" << code << 3;
        }
        QTest::newRow("log-normalised, Sigmoid") << "width.net" << 1 << 1;
        QTest::newRow("log-normalised, Linear") << "width.net" << 2 << 1;
    }

    void exportsMatchRun()
    {
        QFETCH(QString, net);
        QFETCH(int, function);
        QFETCH(int, outputs);
        const QString copy = withFunction(net, function);
        QVERIFY(!copy.isEmpty());
        const QString base = QFileInfo(copy).completeBaseName();
        const CliRun run = runCli(m_dir.path(), {"run", copy});
        QCOMPARE(run.status, 0);
        const Outputs expected = reportOutputs(run.out, outputs);
        QVERIFY(expected.size() > 100);

        cli({"export-c", copy, "-o", base + ".c", "--name", "net"});
        const QString cc = QStandardPaths::findExecutable("cc");
        if (cc.isEmpty()) {
            qWarning("no C compiler: the C export is not compiled");
        } else {
            QVERIFY(runProgram(m_dir.path(), cc,
                               {"-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror", base + ".c",
                                base + "_test.c", "-lm", "-o", base + "_test"})
                            .has_value());
            // The test program's own verdict on the outputs it carries, then its outputs.
            const QString listed =
                    runProgram(m_dir.path(), path(base + "_test"), {"-v"}).value_or(QString());
            QVERIFY(listed.contains("max abs difference: "));
            Outputs c = numberRows(listed.section(u'\n', 0, -3));
            QVERIFY2(worstDifference(c, expected) <= 1e-5,
                     qPrintable(QString::number(worstDifference(c, expected))));
        }

        cli({"export-onnx", copy, "-o", base + ".onnx"});
        const QString node = QStandardPaths::findExecutable("node");
        const QString runtime = qEnvironmentVariable("AXONA_ONNXRUNTIME");
        if (node.isEmpty() || !QDir(runtime + "/onnxruntime-node").exists()) {
            QSKIP("ONNX Runtime for Node.js is not installed (scripts/install-onnxruntime.sh)");
        }
        // The inputs in data units, as the training set's CSV holds them.
        cli({"export-data", copy, "--csv", "-o", base});
        QFile csv(path(base + "-train.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QStringList rows = QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
        rows.removeFirst();
        for (QString &row : rows) {
            row = row.section(u',', 0, row.count(u',') - outputs);
        }
        QFile inputs(path(base + "-inputs.csv"));
        QVERIFY(inputs.open(QIODevice::WriteOnly));
        inputs.write(rows.join(u'\n').toUtf8());
        inputs.close();
        QProcess p;
        QStringList env = QProcess::systemEnvironment();
        env << "NODE_PATH=" + runtime;
        p.setEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(node, {qEnvironmentVariable("AXONA_RUN_ONNX"), base + ".onnx", inputs.fileName()});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const Outputs onnx = numberRows(QString::fromUtf8(p.readAllStandardOutput()));
        QVERIFY2(worstDifference(onnx, expected) <= 1e-5,
                 qPrintable(QString::number(worstDifference(onnx, expected))));
    }

    // An export never replaces a file the network uses.
    void exportsSpareTheNetworksFiles_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("role");
        QTest::newRow("C over the pattern file") << "export-c"
                                                 << "iris.pat"
                                                 << "the network's pattern file";
        QTest::newRow("C over the test file") << "export-c"
                                              << "iris.tst"
                                              << "the network's test file";
        QTest::newRow("ONNX over the weights") << "export-onnx"
                                               << "iris.wgt"
                                               << "the network's weight file";
        QTest::newRow("ONNX over the network") << "export-onnx"
                                               << "iris.net"
                                               << "the network file";
    }

    void exportsSpareTheNetworksFiles()
    {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, role);
        QFile file(path(target));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const CliRun r = runCli(m_dir.path(), {command, "iris.net", "-o", target});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral(": it is ") + role), qPrintable(r.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void cNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("plain") << "iris_net"
                               << "iris_net";
        QTest::newRow("blanks and signs") << "my net-2"
                                          << "my_net_2";
        QTest::newRow("leading digit") << "2net"
                                       << "net_2net";
        QTest::newRow("keyword") << "float"
                                 << "net_float";
        QTest::newRow("non-ASCII") << "réseau"
                                   << "r_seau";
    }

    void cNames()
    {
        QFETCH(QString, text);
        QFETCH(QString, identifier);
        QCOMPARE(cIdentifier(text), identifier);
        QCOMPARE(isCIdentifier(text), text == identifier);
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
