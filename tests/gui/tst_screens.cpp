#include <memory>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include "dataprep/widgets/createtestform.h"
#include "dataprep/widgets/normdialog.h"
#include "exchange/widgets/waitforlinkdialog.h"
#include "files/widgets/setupdialog.h"
#include "gui/windowmenu.h"
#include "model/netmodel.h"
#include "plots/widgets/plotsettingsdialog.h"
#include "session/engineapi.h"
#include "session/unsavedwork.h"
#include "session/workbench.h"
#include "shell/aboutdialog.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"
#include "training/widgets/learnparform.h"
#include "training/widgets/reportwindow.h"

// Every window and dialog, shown at its natural size, and the program tiled beside its report:
// no caption may be cut or lie outside its window, and the picture is not blank. With
// AXONA_SCREENSHOT_DIR set, the pictures are saved there as PNG files.
class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void captionsShowWhole_data();
    void captionsShowWhole();
    void programBesideItsReport();
};

namespace {

enum class Form {
    Main,
    MainTiled,
    Report,
    About,
    Setup,
    Norm,
    CreateTest,
    CreateTestRange,
    AutoLearning,
    PlotSettings,
    WaitForLink
};

std::unique_ptr<QWidget> build(Form form)
{
    switch (form) {
    case Form::Main: {
        auto frame = std::make_unique<MdiNeuralFrame>();
        frame->resize(1100, 760);
        frame->addChildWindow(new CorvelWindow)->showMaximized();
        frame->setStatusText(QStringLiteral("Network Init Completed..."));
        return frame;
    }
    case Form::MainTiled: {
        // The main window beside the report window, each half the frame wide.
        auto frame = std::make_unique<MdiNeuralFrame>();
        frame->resize(1100, 760);
        frame->addChildWindow(new CorvelWindow)->show();
        frame->addChildWindow(new ReportWindow)->show();
        frame->show();
        arrangeWindows(frame->mdiArea(), Arrangement::TileVertical);
        return frame;
    }
    case Form::Report:
        return std::make_unique<ReportWindow>();
    case Form::About:
        return std::make_unique<AboutDialog>();
    case Form::Setup:
        return std::make_unique<SetupDialog>();
    case Form::Norm:
        return std::make_unique<NormDialog>();
    case Form::CreateTest:
        return std::make_unique<CreateTestForm>();
    case Form::CreateTestRange: {
        auto dialog = std::make_unique<CreateTestForm>();
        dialog->ui()->OPT_Method[2]->click();
        return dialog;
    }
    case Form::AutoLearning:
        return std::make_unique<LearnParForm>();
    case Form::PlotSettings: {
        GraphSetting rms;
        rms.YGrid = -1;
        setGraphTypeEntry(rms, 3);
        return std::make_unique<PlotSettingsDialog>(
                plotSettingsOnOpen(rms, "Iris", "Iteration", "RMS Error"));
    }
    case Form::WaitForLink:
        return std::make_unique<WaitForLinkDialog>([] { return false; });
    }
    return nullptr;
}

// The panel a scroll area scrolls.
bool scrolledContent(const QWidget *w)
{
    const QWidget *viewport = w->parentWidget();
    return viewport && qobject_cast<const QAbstractScrollArea *>(viewport->parentWidget())
            && static_cast<const QAbstractScrollArea *>(viewport->parentWidget())->viewport()
            == viewport;
}

QString visibleText(const QString &caption)
{
    QString text = caption;
    return text.remove(QLatin1Char('&'));
}

// The room a control needs to show its caption whole.
int neededWidth(const QWidget *w)
{
    if (auto *label = qobject_cast<const QLabel *>(w)) {
        if (label->wordWrap() || label->text().isEmpty()) {
            return 0;
        }
        return label->sizeHint().width();
    }
    if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w)) {
        return w->sizeHint().width();
    }
    if (auto *button = qobject_cast<const QPushButton *>(w)) {
        return button->fontMetrics().horizontalAdvance(visibleText(button->text())) + 8;
    }
    if (auto *box = qobject_cast<const QGroupBox *>(w)) {
        return box->fontMetrics().horizontalAdvance(box->title());
    }
    return 0;
}

} // namespace

void TestScreens::captionsShowWhole_data()
{
    QTest::addColumn<int>("form");
    QTest::addRow("main-window") << int(Form::Main);
    QTest::addRow("main-window-tiled") << int(Form::MainTiled);
    QTest::addRow("report-window") << int(Form::Report);
    QTest::addRow("about") << int(Form::About);
    QTest::addRow("setup") << int(Form::Setup);
    QTest::addRow("normalize") << int(Form::Norm);
    QTest::addRow("create-test") << int(Form::CreateTest);
    QTest::addRow("create-test-range") << int(Form::CreateTestRange);
    QTest::addRow("auto-learning") << int(Form::AutoLearning);
    QTest::addRow("plot-settings") << int(Form::PlotSettings);
    QTest::addRow("wait-for-link") << int(Form::WaitForLink);
}

namespace {

// Every visible control of window shows its caption whole, inside the windows around it (or
// the panel that scrolls it), over no other control of its panel; the picture is not blank.
// Saved as name.png under AXONA_SCREENSHOT_DIR when that is set. At least leastControls are checked.
void checkWindow(QWidget *window, const QString &name, int leastControls = 4)
{
    const auto widgets = window->findChildren<QWidget *>();
    int checked = 0;
    for (const QWidget *w : widgets) {
        if (!w->isVisible()) {
            continue;
        }
        const QString what = QStringLiteral("%1 '%2'").arg(
                w->objectName(), w->property("text").toString() + w->property("title").toString());
        QVERIFY2(w->width() >= neededWidth(w), qPrintable(what + " is cut"));
        // Inside every window around it, so nothing is clipped away; what a scrolling panel
        // holds is inside that panel and reached by scrolling.
        for (const QWidget *outer = scrolledContent(w) ? nullptr : w->parentWidget(); outer;
             outer = outer->parentWidget()) {
            const QRect inOuter(w->mapTo(outer, QPoint(0, 0)), w->size());
            QVERIFY2(outer->rect().contains(inOuter), qPrintable(what + " sticks out"));
            if (outer == window || scrolledContent(outer)) {
                break;
            }
        }
        // No control lies over another of the same panel.
        if (!w->isWindow() && w->parentWidget()) {
            const auto siblings = w->parentWidget()->findChildren<QWidget *>(
                    QString(), Qt::FindDirectChildrenOnly);
            for (const QWidget *other : siblings) {
                if (other != w && other->isVisible() && !other->isWindow()
                    && !qobject_cast<const QMdiSubWindow *>(w) && neededWidth(other) > 0
                    && neededWidth(w) > 0) {
                    QVERIFY2(!w->geometry().intersects(other->geometry()),
                             qPrintable(what + " lies over " + other->objectName()));
                }
            }
        }
        ++checked;
    }
    QVERIFY(checked >= leastControls);

    const QImage picture = window->grab().toImage();
    QVERIFY(!picture.isNull());
    const QRgb first = picture.pixel(0, 0);
    bool varied = false;
    for (int y = 0; y < picture.height() && !varied; y += 3) {
        for (int x = 0; x < picture.width() && !varied; x += 3) {
            varied = picture.pixel(x, y) != first;
        }
    }
    QVERIFY2(varied, "blank picture");

    const QString dir = qEnvironmentVariable("AXONA_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QVERIFY(picture.save(QDir(dir).filePath(name + QStringLiteral(".png"))));
    }
}

} // namespace

void TestScreens::captionsShowWhole()
{
    QFETCH(int, form);
    std::unique_ptr<QWidget> window = build(Form(form));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
    // The wait dialog is a line of text and a button; every other window has more.
    checkWindow(window.get(), QString::fromLatin1(QTest::currentDataTag()),
                Form(form) == Form::WaitForLink ? 2 : 4);
}

// The program on the example, trained and run, then beside its report: the frame fits its
// screen and the main window's panels show whole. The example is opened from a folder of its
// own (for pictures: "axona-example" in the temporary folder, so no private path shows).
void TestScreens::programBesideItsReport()
{
    const bool pictures = !qEnvironmentVariable("AXONA_SCREENSHOT_DIR").isEmpty();
    QTemporaryDir temporary;
    QDir folder(temporary.path());
    if (pictures) {
        folder.setPath(QDir::temp().filePath(QStringLiteral("axona-example")));
        folder.removeRecursively();
        QVERIFY(folder.mkpath(QStringLiteral(".")));
    }
    const QDir examples(QDir(qEnvironmentVariable("AXONA_TEST_DATA")).filePath("../../examples"));
    for (const char *name : {"xor.net", "xor.pat", "xor.wgt"}) {
        QVERIFY(QFile::copy(examples.filePath(QLatin1String(name)),
                            folder.filePath(QLatin1String(name))));
    }
    AxonaApplication app;
    app.start(folder.filePath(QStringLiteral("xor.net")));
    QVERIFY(QTest::qWaitForWindowExposed(&app.frame()));
    Workbench &wb = app.workbench();
    QVERIFY(wb.model.HasNetFile);
    // A run that always ends the same way.
    QVERIFY(wb.engine.require(wb.ui, {"FIXCLOCK"}));
    int32_t t = 4242;
    int16_t fixed = 1;
    wb.engine.fn().FIXCLOCK(&t, &fixed);
    CorvelWindow &main = app.corvel();
    main.ui()->BTN_Randomize->click();
    main.toolAction(QStringLiteral("train"))->trigger();
    QCOMPARE(main.ui()->LBL_GoodPats->text(), QStringLiteral("100"));
    const QString suffix = main.devicePixelRatio() == 1.0
            ? QString()
            : QStringLiteral("-%1").arg(qRound(main.devicePixelRatio() * 100));

    const QRect screen = app.frame().screen()->availableGeometry();
    QVERIFY2(screen.contains(app.frame().frameGeometry()),
             qPrintable(QStringLiteral("%1x%2 frame on a %3x%4 screen")
                                .arg(app.frame().frameGeometry().width())
                                .arg(app.frame().frameGeometry().height())
                                .arg(screen.width())
                                .arg(screen.height())));
    checkWindow(&app.frame(), QStringLiteral("main-window") + suffix);

    main.toolAction(QStringLiteral("runnet"))->trigger();
    arrangeWindows(app.frame().mdiArea(), Arrangement::TileVertical);
    QApplication::processEvents();
    checkWindow(&app.frame(), QStringLiteral("main-tiled") + suffix);
    wb.model.WeightsChanged = false;
    markSaved(wb);
}

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
