#include <memory>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "exchange/widgets/desktoplinkport.h"
#include "gui/clickablelabel.h"
#include "modaldriver.h"
#include "session/workbench.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"

namespace {

QString testData(const QString &name)
{
    return QDir(qEnvironmentVariable("AXONA_TEST_DATA")).filePath(name);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

// The Edit menu of the main window with the real clipboard, the session bus and the wait
// dialog.
class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editMenu();
    void copiedOutputsReachAnotherProgram();
    void waitForAStartedServer_data();
    void waitForAStartedServer();

private:
    QAction *action(const char *name) const { return m_app->corvel().action(QLatin1String(name)); }

    void startApp(const QString &fileName = QString());

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AxonaApplication> m_app;
};

void TestExchange::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void TestExchange::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char *ext : {"net", "pat", "wgt", "tst"}) {
        const QString name = QStringLiteral("xor.") + QLatin1String(ext);
        QVERIFY(QFile::copy(testData(name), m_dir->filePath(name)));
    }
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestExchange::cleanup()
{
    m_app.reset();
}

void TestExchange::startApp(const QString &fileName)
{
    m_app = std::make_unique<AxonaApplication>();
    m_app->start(fileName);
    QVERIFY(QTest::qWaitForWindowExposed(&m_app->frame()));
}

void TestExchange::editMenu()
{
    startApp();
    QMenu *edit = m_app->corvel().ui()->MNU_EDIT;
    const auto enabled = [this] {
        QStringList on;
        for (const char *name :
             {"MNU_EDIT_PastePatLinked", "MNU_EDIT_PasteTSTLinked", "MNU_EDIT_CopyOutsLinked",
              "MNU_EDIT_CopyTSTLinked", "MNU_EDIT_Update"}) {
            if (action(name)->isEnabled()) {
                on << QLatin1String(name);
            }
        }
        return on;
    };
    // No data: nothing to copy.
    emit edit->aboutToShow();
    QCOMPARE(
            enabled(),
            QStringList({"MNU_EDIT_PastePatLinked", "MNU_EDIT_PasteTSTLinked", "MNU_EDIT_Update"}));

    m_app.reset();
    startApp(m_dir->filePath(QStringLiteral("xor.net")));
    edit = m_app->corvel().ui()->MNU_EDIT;
    // Where a click on "Edit" in the menu bar opens it.
    QPoint below = m_app->corvel().mapToGlobal(QPoint(40, 0));
    for (auto *bar : m_app->frame().findChildren<QMenuBar *>()) {
        const QRect item = bar->actionGeometry(edit->menuAction());
        if (item.isValid()) {
            below = bar->mapToGlobal(item.bottomLeft());
        }
    }
    edit->popup(below);
    QVERIFY(QTest::qWaitForWindowExposed(edit));
    QCOMPARE(enabled().size(), 5);

    // The menu as it shows over the main window, for the documentation.
    const QString shots = qEnvironmentVariable("AXONA_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        QWidget &frame = m_app->frame();
        QImage picture = frame.grab().toImage();
        QPainter painter(&picture);
        painter.drawPixmap(frame.mapFromGlobal(edit->geometry().topLeft()), edit->grab());
        painter.end();
        QVERIFY(picture.copy(0, 0, 720, 420).save(QDir(shots).filePath("edit-menu.png")));
    }
    edit->close();

    // While training runs, the link commands stay off when the menu opens.
    Workbench &wb = m_app->workbench();
    wb.model.StopFlag = false;
    for (const char *name : {"MNU_EDIT_PastePatLinked", "MNU_EDIT_PasteTSTLinked",
                             "MNU_EDIT_CopyOutsLinked", "MNU_EDIT_CopyTSTLinked"}) {
        action(name)->setEnabled(false);
    }
    emit edit->aboutToShow();
    QCOMPARE(enabled(), QStringList({"MNU_EDIT_Update"}));
    wb.model.StopFlag = true;
}

void TestExchange::copiedOutputsReachAnotherProgram()
{
    const QString net = m_dir->filePath(QStringLiteral("xor.net"));
    startApp(net);
    action("MNU_EDIT_CopyTSTLinked")->trigger();
    const Workbench &wb = m_app->workbench();
    const QString outputs = wb.form.text(QStringLiteral("TXT_TSTOUTS"));
    QCOMPARE(outputs.count(QStringLiteral("\r\n")), 2);
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    QVERIFY(clip);
    QCOMPARE(clip->text(), outputs);
    const QString reference = QStringLiteral("Axona32|%1!TXT_TSTOUTS").arg(net);
    QCOMPARE(QString::fromUtf8(clip->data(QStringLiteral("application/x-axona-link"))), reference);

    // Another program asks for the item.
    QProcess get;
    get.start(qEnvironmentVariable("AXONA_CLI"), {"link", "get", reference});
    // This program answers from its event loop: wait with it running.
    QTRY_VERIFY_WITH_TIMEOUT(get.state() == QProcess::NotRunning, 20000);
    QCOMPARE(get.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(get.readAllStandardOutput()), outputs);
}

void TestExchange::waitForAStartedServer_data()
{
    QTest::addColumn<bool>("comesUp");
    QTest::newRow("cancelled") << false;
    QTest::newRow("comes up") << true;
}

void TestExchange::waitForAStartedServer()
{
    QFETCH(bool, comesUp);
    startApp(m_dir->filePath(QStringLiteral("xor.net")));
    const QString data = m_dir->filePath(QStringLiteral("sheet.tsv"));
    QVERIFY(writeFile(data, "0\t0\t0\n1\t1\t0\n"));
    // Nobody serves the file: the program starts the command-line tool to serve it (here a
    // program that ends at once, when the server must never come up).
    m_app->links().setCompanionProgram(comesUp ? qEnvironmentVariable("AXONA_CLI")
                                               : QStringLiteral("/bin/true"));
    auto *clip = new QMimeData;
    clip->setData(QStringLiteral("application/x-axona-link"),
                  QStringLiteral("sheet|%1!data").arg(data).toUtf8());
    QGuiApplication::clipboard()->setMimeData(clip);

    QString caption;
    QString text;
    const auto seeWait = [&](QWidget *wait) {
        caption = wait->windowTitle() + u'|' + wait->objectName();
        text = wait->findChild<QLabel *>()->text();
    };
    QStringList answered;
    if (comesUp) {
        // The dialog closes by itself once the server answers; a message box would be wrong.
        QStringList boxes;
        QTimer peek;
        connect(&peek, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->text();
                box->reject();
            } else if (modal && modal->objectName() == u"FRM_WaitForLink") {
                seeWait(modal);
            }
        });
        peek.start(20);
        action("MNU_EDIT_PastePatLinked")->trigger();
        QCOMPARE(boxes, QStringList());
    } else {
        ModalDriver script;
        script.then([&](QWidget *wait) {
            seeWait(wait);
            wait->findChild<QPushButton *>(QStringLiteral("BTN_Cancel"))->click();
        });
        script.button(QMessageBox::Ok);
        action("MNU_EDIT_PastePatLinked")->trigger();
        QVERIFY(script.done());
        QVERIFY2(script.unexpected().isEmpty(), qPrintable(script.unexpected().join(u'|')));
        answered = script.answered();
    }
    QCOMPARE(caption, QStringLiteral("Axona|FRM_WaitForLink"));
    QCOMPARE(text, QStringLiteral(" Waiting for DDE link to complete"));

    const Workbench &wb = m_app->workbench();
    QCOMPARE(wb.model.PatsLinked, comesUp);
    QCOMPARE(wb.model.LinkWaitCancelled, !comesUp);
    if (comesUp) {
        QCOMPARE(wb.model.NumPats, int16_t(2));
        QCOMPARE(m_app->corvel().ui()->LBL_DataFile->text(),
                 QStringLiteral("sheet|%1!data").arg(data));
    } else {
        QCOMPARE(answered, QStringList({"Could Not Start DDE"}));
        QCOMPARE(wb.model.NumPats, int16_t(4));
        QCOMPARE(m_app->corvel().ui()->LBL_DataFile->text(), m_dir->filePath("xor.pat"));
    }
}

QTEST_MAIN(TestExchange)
#include "tst_exchange.moc"
