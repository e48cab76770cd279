#include <deque>
#include <functional>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "files/widgets/setupdialog.h"
#include "gui/clickablelabel.h"
#include "modaldriver.h"
#include "recordingdesktop.h"
#include "session/workbench.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"

namespace {

QString testData(const QString &name)
{
    return QDir(qEnvironmentVariable("AXONA_TEST_DATA")).filePath(name);
}

QString exampleFile(const QString &name)
{
    return QDir(qEnvironmentVariable("AXONA_TEST_DATA"))
            .filePath(QStringLiteral("../../examples/") + name);
}

// Copies xor.net, xor.pat and xor.wgt (and xor.tst where there is one) of from into folder.
bool copyXor(const QString &from, const QString &folder)
{
    for (const char *ext : {"net", "pat", "wgt", "tst"}) {
        const QString name = QStringLiteral("xor.") + QLatin1String(ext);
        const QString source = QDir(from).filePath(name);
        if (QFile::exists(source) && !QFile::copy(source, QDir(folder).filePath(name))) {
            return false;
        }
    }
    return true;
}

enum class Open { Menu, Toolbar, CommandLine };

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(Open)

// The file commands, the start-up network, the closing question, the window layout kept in the
// network file and the Setup dialog, driven through the real windows.
class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensANetwork_data();
    void opensANetwork();
    void saveNetAsWritesFilesThatReopen();
    void layoutSavedAndRestored();
    void reportComesToTheFrontAndEtaHasTheFocus();
    void setup_data();
    void setup();

private:
    Ui::CorvelWindow *ui() const { return m_app->corvel().ui(); }

    QAction *action(const char *name) const { return m_app->corvel().action(QLatin1String(name)); }

    // Starts the program, with fileName on the command line when given.
    void startApp(const QString &fileName = QString());
    // Opens the copy of xor.net in the test's folder from the File menu.
    void openXorFromMenu();
    QMdiSubWindow *reportSubWindow() const;

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AxonaApplication> m_app;
};

void TestFiles::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void TestFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(copyXor(QFileInfo(testData("xor.net")).absolutePath(), m_dir->path()));
    // The local-name rule looks in the current directory first.
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestFiles::cleanup()
{
    m_app.reset();
    QFile::remove(QDir(m_config.path()).filePath(QStringLiteral("axona.ini")));
}

void TestFiles::startApp(const QString &fileName)
{
    m_app = std::make_unique<AxonaApplication>();
    m_app->start(fileName);
    QVERIFY(QTest::qWaitForWindowExposed(&m_app->frame()));
}

void TestFiles::openXorFromMenu()
{
    ModalDriver script;
    script.file(m_dir->filePath(QStringLiteral("xor.net")));
    action("MNU_FILE_OpenNet")->trigger();
    QVERIFY(script.done());
    QCOMPARE(script.answered(), QStringList {QStringLiteral("Open Net File")});
    QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
    QVERIFY(m_app->workbench().model.HasNetFile);
}

QMdiSubWindow *TestFiles::reportSubWindow() const
{
    for (QMdiSubWindow *sub : m_app->frame().mdiArea()->subWindowList()) {
        if (sub->widget() && sub->widget()->property("Tag").toString() == "REPORT") {
            return sub;
        }
    }
    return nullptr;
}

void TestFiles::opensANetwork_data()
{
    QTest::addColumn<Open>("how");
    QTest::addColumn<bool>("example");

    QTest::newRow("Open Net from the menu") << Open::Menu << false;
    QTest::newRow("toolbar open") << Open::Toolbar << false;
    QTest::newRow("the example from the command line") << Open::CommandLine << true;
    QTest::newRow("the example from the menu") << Open::Menu << true;
}

void TestFiles::opensANetwork()
{
    QFETCH(Open, how);
    QFETCH(bool, example);

    if (example) {
        // The example has no test file.
        for (const char *name : {"xor.net", "xor.pat", "xor.wgt", "xor.tst"}) {
            QFile::remove(m_dir->filePath(QLatin1String(name)));
        }
        QVERIFY(copyXor(QFileInfo(exampleFile("xor.net")).absolutePath(), m_dir->path()));
    }
    const QString net = m_dir->filePath(QStringLiteral("xor.net"));
    startApp(how == Open::CommandLine ? net : QString());
    if (how != Open::CommandLine) {
        QCOMPARE(ui()->LBL_DataFile->text(), QStringLiteral("Click here to Open File"));
        QVERIFY(!m_app->corvel().toolAction(QStringLiteral("train"))->isEnabled());
        ModalDriver script;
        script.file(net);
        if (how == Open::Menu) {
            action("MNU_FILE_OpenNet")->trigger();
        } else {
            m_app->corvel().toolAction(QStringLiteral("open"))->trigger();
        }
        QVERIFY(script.done());
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
    }

    const Workbench &wb = m_app->workbench();
    QVERIFY(wb.model.HasNetFile && wb.model.HasPatterns && wb.model.HasWeightFile);
    QVERIFY2(m_app->frame().windowTitle().startsWith(QStringLiteral("Axona-xor.net")),
             qPrintable(m_app->frame().windowTitle()));
    QCOMPARE(ui()->LBL_DataFile->text(), m_dir->filePath(QStringLiteral("xor.pat")));
    QCOMPARE(ui()->LBL_WeightFile->text(), m_dir->filePath(QStringLiteral("xor.wgt")));
    QCOMPARE(ui()->LBL_Npts->text(), QStringLiteral("4"));
    QCOMPARE(ui()->LBL_NptsTST->text(), example ? QStringLiteral("0") : QStringLiteral("2"));
    QCOMPARE(ui()->PNL_NW->text(), QStringLiteral("9"));
    QCOMPARE(ui()->TXT_EpocLen->text(), QStringLiteral("4"));
    QVERIFY(m_app->corvel().toolAction(QStringLiteral("train"))->isEnabled());
    QVERIFY(m_app->corvel().toolAction(QStringLiteral("runnet"))->isEnabled());
    QCOMPARE(m_app->corvel().toolAction(QStringLiteral("runtest"))->isEnabled(), !example);
    QVERIFY(action("MNU_FILE_SaveNet")->isEnabled());

    // "<- Edit" starts the editor on the file the label shows.
    RecordingDesktop desktop(m_app->workbench());
    QTest::mouseClick(ui()->BTN_EditPat, Qt::LeftButton);
    QCOMPARE(desktop.started.value(0),
             (QStringList {QStringLiteral("xdg-open"), ui()->LBL_DataFile->text()}));
    QTest::mouseClick(ui()->BTN_EditWgt, Qt::LeftButton);
    QCOMPARE(desktop.started.value(1),
             (QStringList {QStringLiteral("xdg-open"), ui()->LBL_WeightFile->text()}));
}

void TestFiles::saveNetAsWritesFilesThatReopen()
{
    startApp(m_dir->filePath(QStringLiteral("xor.net")));
    Workbench &wb = m_app->workbench();
    QTest::mouseClick(ui()->BTN_Randomize, Qt::LeftButton);
    const float weight = wb.model.Weights(2, 3, 2);
    QVERIFY(weight != -15.0f);

    const QString net = m_dir->filePath(QStringLiteral("saved.net"));
    const QString wgt = m_dir->filePath(QStringLiteral("saved.wgt"));
    {
        ModalDriver script;
        script.file(wgt);
        action("MNU_FILE_SaveWeightAs")->trigger();
        script.file(net);
        action("MNU_FILE_SaveNetAs")->trigger();
        QVERIFY(script.done());
        QCOMPARE(script.answered(),
                 (QStringList {QStringLiteral("Save Weights As"), QStringLiteral("Save Net As")}));
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
    }
    QVERIFY(QFile::exists(net) && QFile::exists(wgt));
    QVERIFY2(m_app->frame().windowTitle().startsWith(QStringLiteral("Axona-saved.net")),
             qPrintable(m_app->frame().windowTitle()));
    QVERIFY(!wb.model.WeightsChanged);

    // New Net, then the saved files through the menu.
    {
        ModalDriver script;
        script.button(QMessageBox::Yes);
        action("MNU_FILE_NewNet")->trigger();
        QVERIFY(!wb.model.HasPatterns);
        script.file(net);
        action("MNU_FILE_OpenNet")->trigger();
        QVERIFY(script.done());
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
    }
    QVERIFY(wb.model.HasNetFile && wb.model.HasPatterns);
    QCOMPARE(ui()->LBL_WeightFile->text(), wgt);
    QCOMPARE(wb.model.Weights(2, 3, 2), weight);
    // The network's earlier weight file keeps the hand-set weights.
    QFile original(m_dir->filePath(QStringLiteral("xor.wgt")));
    QFile shipped(testData(QStringLiteral("xor.wgt")));
    QVERIFY(original.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), shipped.readAll());
}

void TestFiles::layoutSavedAndRestored()
{
    const QString net = m_dir->filePath(QStringLiteral("xor.net"));
    startApp(net);
    QVERIFY(!reportSubWindow());
    m_app->corvel().toolAction(QStringLiteral("runnet"))->trigger();
    QMdiSubWindow *report = reportSubWindow();
    QVERIFY(report);
    report->showNormal();
    const QRect placed(37, 23, 430, 310);
    report->setGeometry(placed);
    QTRY_COMPARE_WITH_TIMEOUT(report->geometry(), placed, 2000);

    const bool mainMaximised = m_app->corvel().parentWidget()->isMaximized();
    action("MNU_FILE_SaveNet")->trigger();
    const QByteArray text = [&net] {
        QFile f(net);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY2(text.contains("\"REPORT\""), text.constData());
    QVERIFY(text.contains("\"MDI\"") && text.contains("\"CPL\""));

    {
        ModalDriver script;
        script.button(QMessageBox::Yes);
        action("MNU_FILE_NewNet")->trigger();
        QVERIFY(script.done());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!reportSubWindow(), 2000);

    openXorFromMenu();
    report = reportSubWindow();
    QVERIFY(report);
    QVERIFY(report->isVisible());
    const QRect back = report->geometry();
    QVERIFY2(qAbs(back.left() - placed.left()) <= 2 && qAbs(back.top() - placed.top()) <= 2
                     && qAbs(back.width() - placed.width()) <= 2
                     && qAbs(back.height() - placed.height()) <= 2,
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(back.left())
                                .arg(back.top())
                                .arg(back.width())
                                .arg(back.height())));
    // The report window shows the training-set run.
    QVERIFY(!m_app->workbench().report.text.isEmpty());
    // The main window is back in its recorded state.
    QCOMPARE(m_app->corvel().parentWidget()->isMaximized(), mainMaximised);
}

// A listing of the View menu brings the report window in front of the main window, as Run Net
// does; after a network is opened the focus is in "Eta".
void TestFiles::reportComesToTheFrontAndEtaHasTheFocus()
{
    startApp(m_dir->filePath(QStringLiteral("xor.net")));
    QTRY_COMPARE(m_app->frame().focusWidget(), ui()->TXT_Eta);
    QMdiArea *area = m_app->frame().mdiArea();
    auto *main = qobject_cast<QMdiSubWindow *>(m_app->corvel().parentWidget());
    QVERIFY(main);
    m_app->corvel().toolAction(QStringLiteral("runnet"))->trigger();
    QCOMPARE(area->activeSubWindow(), reportSubWindow());

    for (const char *listing : {"MNU_VIEWWeights", "MNU_VIEWDeriv", "MNU_VIEWSens"}) {
        area->setActiveSubWindow(main);
        QCOMPARE(area->activeSubWindow(), main);
        action(listing)->trigger();
        QVERIFY2(area->activeSubWindow() == reportSubWindow(), listing);
    }

    // Opened again from the menu, the focus goes back to "Eta".
    area->setActiveSubWindow(main);
    ui()->TXT_Title->setFocus();
    openXorFromMenu();
    QTRY_COMPARE(m_app->frame().focusWidget(), ui()->TXT_Eta);
}

void TestFiles::setup_data()
{
    QTest::addColumn<bool>("ok");

    QTest::newRow("OK stores") << true;
    QTest::newRow("Cancel changes nothing") << false;
}

void TestFiles::setup()
{
    QFETCH(bool, ok);

    startApp();
    Workbench &wb = m_app->workbench();
    QCOMPARE(int(wb.model.TrainMode), 1);
    const QString ini = QDir(m_config.path()).filePath(QStringLiteral("axona.ini"));
    QVERIFY(!QFile::exists(ini));

    bool quickPropBoxesWereOff = false;
    ModalDriver script;
    script.then([&](QWidget *modal) {
        auto *dialog = qobject_cast<SetupDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        Ui::SetupDialog *ui = dialog->ui();
        quickPropBoxesWereOff = ui->OPT_TrainigMTD_1->isChecked() && !ui->TXT_GF->isEnabled();
        ui->OPT_TrainigMTD_2->click();
        ui->TXT_GF->setText(QStringLiteral("2.5"));
        ui->TXT_Editor->setText(QStringLiteral("  kate --new "));
        ui->CHK_LocalNames->setChecked(false);
        (ok ? ui->Command2 : ui->Command1)->click();
    });
    action("MNU_SETUP")->trigger();
    QVERIFY(script.done());
    QVERIFY(quickPropBoxesWereOff);

    QCOMPARE(int(wb.model.TrainMode), ok ? 2 : 1);
    QCOMPARE(wb.model.GrowthFactor, ok ? 2.5f : 1.75f);
    QCOMPARE(wb.model.EditorCommand,
             ok ? QStringLiteral("kate --new") : QStringLiteral("xdg-open"));
    QCOMPARE(QFile::exists(ini), ok);
    if (ok) {
        QSettings stored(ini, QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Setup/Editor")).toString(),
                 QStringLiteral("  kate --new "));
        QCOMPARE(stored.value(QStringLiteral("Setup/LocalNames")).toString(), QStringLiteral("0"));
    }
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
