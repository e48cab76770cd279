#include <deque>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "dataprep/widgets/createtestform.h"
#include "dataprep/widgets/normdialog.h"
#include "modaldriver.h"
#include "session/workbench.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"

// The Data menu's dialogs driven as a user would: Create Test cuts a test set out of the
// iris patterns, Normalize Data normalises them again and stays open with its status.
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
};

QTEST_MAIN(TestDataprep)
#include "tst_dataprep.moc"
