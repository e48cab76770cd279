#include <deque>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "clirunner.h"
#include "dataprep/widgets/createtestform.h"
#include "dataprep/widgets/csvimportdialog.h"
#include "dataprep/widgets/normdialog.h"
#include "modaldriver.h"
#include "session/workbench.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"

// The Data menu's dialogs driven as a user would: Create Test cuts a test set out of the
// iris patterns, Normalize Data normalises them again and stays open with its status; Import
// CSV's column roles make the files "axona import" makes and load them.
class TestDataprep : public QObject
{
    Q_OBJECT

private:
    static QString copyIris(const QTemporaryDir &dir)
    {
        const QDir examples(qEnvironmentVariable("AXONA_TEST_DATA")
                            + QStringLiteral("/../../examples"));
        for (const char *name : {"iris.net", "iris.pat", "iris.tst", "iris.wgt"}) {
            QFile::copy(examples.filePath(QLatin1String(name)), dir.filePath(QLatin1String(name)));
        }
        return dir.filePath(QStringLiteral("iris.net"));
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void type(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
    }

private slots:

    void createTestThenNormalize()
    {
        QTemporaryDir dir;
        AxonaApplication app;
        app.start(copyIris(dir));
        Workbench &wb = app.workbench();
        QCOMPARE(int(wb.model.NumPats), 120);
        QVERIFY(wb.model.HasTest);

        ModalDriver script;
        script.then([](QWidget *modal) {
            auto *dialog = qobject_cast<CreateTestForm *>(modal);
            QVERIFY(dialog);
            type(dialog->ui()->TXT_Data[0], QStringLiteral("20"));
            dialog->ui()->Command2->click();
        });
        script.then([](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            QVERIFY(box->text().startsWith(QStringLiteral("Creating new test data")));
            box->button(QMessageBox::Yes)->click();
        });
        app.corvel().action(QStringLiteral("MNU_DATA_CreateTest"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(script.done() && !QApplication::activeModalWidget(), 10000);
        QCOMPARE(int(wb.model.NumTestPats), 24);
        QCOMPARE(int(wb.model.NumPats), 96);
        QCOMPARE(app.corvel().findChild<QLabel *>(QStringLiteral("LBL_NptsTST"))->text(),
                 QStringLiteral("24"));
        QVERIFY(wb.model.SetsRegenerated && wb.model.PatsUnsaved && wb.model.TestUnsaved);

        QString status;
        script.then([&status](QWidget *modal) {
            auto *dialog = qobject_cast<NormDialog *>(modal);
            QVERIFY(dialog);
            dialog->ui()->Command2->click();
            status = dialog->ui()->Panel1->text();
            dialog->ui()->Command1->click();
        });
        app.corvel().action(QStringLiteral("MNU_DATA_Norm"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(script.done() && !QApplication::activeModalWidget(), 10000);
        QCOMPARE(status, QStringLiteral("Normalization Done"));
        QVERIFY(wb.model.NormOn);
        // Normalize starts from the whole pattern file; the sampled test set stays in memory.
        QCOMPARE(int(wb.model.NumPats), 120);
        QCOMPARE(int(wb.model.NumTestPats), 24);
        wb.model.WeightsChanged = false;
    }

    void importCsvAsTheCommandLineDoes()
    {
        QTemporaryDir dir;
        // Semicolons with decimal commas, a quoted class name holding the delimiter, an
        // identifier column to skip, a numeric output after the class column, and a missing width
        // in the third row.
        {
            QFile csv(dir.filePath(QStringLiteral("plants.csv")));
            QVERIFY(csv.open(QIODevice::WriteOnly));
            csv.write("id;\"length; cm\";width;species;mass\r\n"
                      "1;1,5;0,2;setosa;3\r\n"
                      "2;4,7;1,4;\"versi;color\";7,5\r\n"
                      "3;6,0;;virginica;9\r\n"
                      "4;5,1;1,9;virginica;8,25\r\n"
                      "5;1,4;0,3;setosa;2,5\r\n"
                      "6;5,9;2,1;virginica;9,5\r\n"
                      "7;4,4;1,3;\"versi;color\";6\r\n"
                      "8;1,3;0,2;setosa;2\r\n");
        }
        AxonaApplication app;
        app.start(QString());
        Workbench &wb = app.workbench();

        QString refusal;
        ModalDriver script;
        script.file(dir.filePath(QStringLiteral("plants.csv")));
        script.then([&refusal](QWidget *modal) {
            auto *dialog = qobject_cast<CsvImportDialog *>(modal);
            QVERIFY(dialog);
            const ColumnRole roles[] = {ColumnRole::Skip, ColumnRole::Input, ColumnRole::Input,
                                        ColumnRole::Class, ColumnRole::Output};
            for (int c = 0; c < 5; ++c) {
                dialog->roleBox(c)->setCurrentIndex(static_cast<int>(roles[c]));
            }
            refusal = dialog->summary()->text();
            QVERIFY(!dialog->importButton()->isEnabled());
            dialog->dropMissingBox()->click();
            dialog->testPercentBox()->setValue(25);
            dialog->seedBox()->setValue(5);
            QVERIFY(dialog->importButton()->isEnabled());
            dialog->importButton()->click();
        });
        script.file(dir.filePath(QStringLiteral("gui.pat")));
        script.button(QMessageBox::Ok); // the row left out
        script.button(QMessageBox::Yes); // the network's layers fitted to the data
        script.button(QMessageBox::Ok); // Open Patterns' advice to normalise the mass
        app.corvel().action(QStringLiteral("MNU_DATA_ImportCsv"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(script.done() && !QApplication::activeModalWidget(), 10000);
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
        QCOMPARE(refusal, QStringLiteral("Row 4, column 3 (\"width\"): the cell is empty"));

        const CliRun cli = runCli(dir.path(),
                                  {"import", "plants.csv", "-o", "cli.pat", "--inputs", "2-3",
                                   "--one-hot", "species", "--outputs", "mass", "--drop-missing",
                                   "--test-percent", "25", "--seed", "5"});
        QVERIFY2(cli.status == 0, qPrintable(cli.err));
        for (const char *ext : {".pat", ".tst", ".classes"}) {
            const QByteArray gui = contents(dir.filePath(QStringLiteral("gui") + ext));
            QVERIFY2(!gui.isEmpty(), ext);
            QCOMPARE(gui, contents(dir.filePath(QStringLiteral("cli") + ext)));
        }

        // Loaded into a network of 2 inputs and 3 class outputs plus the mass.
        QCOMPARE(wb.model.PatFileName, dir.filePath(QStringLiteral("gui.pat")));
        QCOMPARE(wb.model.numInputs(), 2);
        QCOMPARE(wb.model.numOutputs(), 4);
        QVERIFY(wb.model.HasTest);
        QVERIFY(wb.model.NumTestPats > 0);
        QCOMPARE(wb.model.NumPats + wb.model.NumTestPats, 7);
        wb.model.WeightsChanged = false;
    }
};

QTEST_MAIN(TestDataprep)
#include "tst_dataprep.moc"
