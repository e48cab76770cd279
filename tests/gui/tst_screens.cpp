#include <memory>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "dataprep/widgets/createtestform.h"
#include "dataprep/widgets/normdialog.h"
#include "exchange/widgets/waitforlinkdialog.h"
#include "files/widgets/setupdialog.h"
#include "model/netmodel.h"
#include "plots/widgets/plotsettingsdialog.h"
#include "shell/aboutdialog.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"
#include "training/widgets/learnparform.h"
#include "training/widgets/reportwindow.h"

// Every window and dialog, shown at its natural size: no caption may be cut or lie outside its
// window, and the picture is not blank. With AXONA_SCREENSHOT_DIR set, the pictures are saved
// there as PNG files.
class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    void captionsShowWhole_data();
    void captionsShowWhole();
};

namespace {

enum class Form {
    Main,
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

void TestScreens::captionsShowWhole()
{
    QFETCH(int, form);
    std::unique_ptr<QWidget> window = build(Form(form));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();

    const auto widgets = window->findChildren<QWidget *>();
    int checked = 0;
    for (const QWidget *w : widgets) {
        if (!w->isVisible()) {
            continue;
        }
        const QString what = QStringLiteral("%1 '%2'").arg(
                w->objectName(), w->property("text").toString() + w->property("title").toString());
        QVERIFY2(w->width() >= neededWidth(w), qPrintable(what + " is cut"));
        // Inside every window around it, so nothing is clipped away.
        for (const QWidget *outer = w->parentWidget(); outer; outer = outer->parentWidget()) {
            const QRect inOuter(w->mapTo(outer, QPoint(0, 0)), w->size());
            QVERIFY2(outer->rect().contains(inOuter), qPrintable(what + " sticks out"));
            if (outer == window.get()) {
                break;
            }
        }
        ++checked;
    }
    // The wait dialog is a line of text and a button; every other window has more.
    QVERIFY(checked >= (Form(form) == Form::WaitForLink ? 2 : 4));

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
        QVERIFY(picture.save(QDir(dir).filePath(QString::fromLatin1(QTest::currentDataTag())
                                                + QStringLiteral(".png"))));
    }
}

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
