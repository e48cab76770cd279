#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "gui/formbinder.h"
#include "gui/qtuiport.h"
#include "modaldriver.h"
#include "scriptedui.h"
#include "session/controls.h"
#include "session/formstate.h"
#include "shell/aboutdialog.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"
#include "shell/windowregistry.h"
#include "training/widgets/reportwindow.h"

namespace {

QStringList actionNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (const QAction *a : actions) {
        if (!a->isSeparator()) {
            names << a->objectName();
        }
    }
    return names;
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuBarFollowsActiveWindow();
    void mainMenu_data();
    void mainMenu();
    void toolbar();
    void coreControlNames();
    void mainWindowControls_data();
    void mainWindowControls();
    void textBoxesSelectAllOnFocus();
    void windowMenuTiles_data();
    void windowMenuTiles();
    void windowRegistry();
    void restoredLayoutFitsTheScreen();
    void aboutBox();
    void messageBox_data();
    void messageBox();

private:
    std::unique_ptr<MdiNeuralFrame> m_frame;
    CorvelWindow *m_corvel = nullptr;
};

void TestShell::init()
{
    m_frame = std::make_unique<MdiNeuralFrame>();
    m_frame->resize(1100, 760);
    m_corvel = new CorvelWindow;
    m_frame->addChildWindow(m_corvel)->showMaximized();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
}

void TestShell::cleanup()
{
    m_frame.reset();
    m_corvel = nullptr;
}

void TestShell::menuBarFollowsActiveWindow()
{
    const auto captions = [this] {
        QStringList texts;
        const auto actions = m_frame->menuBar()->actions();
        for (const QAction *a : actions) {
            texts << a->text();
        }
        return texts;
    };
    const QStringList main = {"&File", "&Edit",     "&Data",   "&View",
                              "&Plot", "&Setup...", "&Window", "&Help"};
    QCOMPARE(captions(), main);

    auto *report = new ReportWindow;
    QMdiSubWindow *sub = m_frame->addChildWindow(report);
    sub->show();
    m_frame->mdiArea()->setActiveSubWindow(sub);
    QCOMPARE(captions(), QStringList({"&File", "&Edit", "&Window"}));

    m_frame->mdiArea()->setActiveSubWindow(m_frame->mdiArea()->subWindowList().constFirst());
    QCOMPARE(captions(), main);
}

void TestShell::mainMenu_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    const struct
    {
        const char *menu;
        const char *name;
        const char *caption;
    } rows[] = {
            {"MNU_FILE", "MNU_FILE_NewNet", "&New Net"},
            {"MNU_FILE", "MNU_FILE_OpenNet", "&Open Net..."},
            {"MNU_FILE", "MNU_FILE_OpenPat", "Open &Patterns..."},
            {"MNU_FILE", "MNU_FILE_OpenTest", "Open &Test..."},
            {"MNU_FILE", "MNU_FILE_OpenWeight", "Open &Weights..."},
            {"MNU_FILE", "MNU_FILE_SaveNet", "Save &Net"},
            {"MNU_FILE", "MNU_FILE_SaveNetAs", "&Save Net As..."},
            {"MNU_FILE", "MNU_FILE_SaveWeight", "Save W&eights..."},
            {"MNU_FILE", "MNU_FILE_SaveWeightAs", "Save Weigh&ts As..."},
            {"MNU_FILE", "MNU_FILE_SavePatsAs", "Save P&ats As..."},
            {"MNU_FILE", "MNU_FILE_SaveTstPats", "Save T&est Pats. As..."},
            {"MNU_FILE", "MNU_FILE_ExportC", "Export &C..."},
            {"MNU_FILE", "MNU_FILE_ExportOnnx", "Export O&NNX..."},
            {"MNU_FILE", "MNU_FILE_ExportData", "Export &Data as CSV..."},
            {"MNU_FILE", "MNU_FILE_Print", "&Print..."},
            {"MNU_FILE", "MNU_FILE_PrintSetup", "P&rint Setup..."},
            {"MNU_FILE", "MNU_FILE_EXIT", "E&xit"},
            {"MNU_EDIT", "MNU_EDIT_PastePatLinked", "&Paste Pats (Linked)"},
            {"MNU_EDIT", "MNU_EDIT_PasteTSTLinked", "Paste &Tst Pats (Linked)"},
            {"MNU_EDIT", "MNU_EDIT_CopyOutsLinked", "&Copy Pat Outputs"},
            {"MNU_EDIT", "MNU_EDIT_CopyTSTLinked", "C&opy Tst Outputs"},
            {"MNU_EDIT", "MNU_EDIT_Update", "&Update Client"},
            {"MNU_DATA", "MNU_DATA_Norm", "&Normalize..."},
            {"MNU_DATA", "MNU_DATA_CreateTest", "&Create Test..."},
            {"MNU_DATA", "MNU_DATA_ImportCsv", "&Import CSV..."},
            {"MNU_VIEW", "MNU_VIEWWeights", "&Weights.."},
            {"MNU_VIEW", "MNU_VIEWDeriv", "Weights &Delta.."},
            {"MNU_VIEW", "MNU_VIEWSens", "Input &Sensitivity"},
            {"MNU_VIEW", "MNU_VIEWEval", "&Evaluation"},
            {"MNU_PLOT", "MNU_PLOTS_0", "&Weights"},
            {"MNU_PLOT", "MNU_PLOTS_1", "Net &Output"},
            {"MNU_PLOT", "MNU_PLOTS_2", "&Net Layout"},
            {"MNU_PLOT", "MNU_PLOTS_3", "Input &Sensitivity"},
            {"MNU_WINDOW", "MNU_WINDOW1_0", "Cascate"},
            {"MNU_WINDOW", "MNU_WINDOW1_1", "Tile Horizontal"},
            {"MNU_WINDOW", "MNU_WINDOW1_2", "Tile Vertical"},
            {"MNU_WINDOW", "MNU_WINDOW1_3", "Arrange Icons"},
            {"MNU_HELP", "MNU_HELP_Help", "&Help"},
            {"MNU_HELP", "MNU_HELP_About", "&About"},
    };

    QHash<QString, int> counts;
    for (const auto &r : rows) {
        const QString menu = QString::fromLatin1(r.menu);
        QTest::addRow("%s", r.name) << menu << counts[menu]++ << QString::fromLatin1(r.name)
                                    << QString::fromLatin1(r.caption);
    }
    // A row past the end of each menu: nothing may follow the last item.
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        QTest::addRow("%s has no more items", qPrintable(it.key()))
                << it.key() << it.value() << QString() << QString();
    }
}

void TestShell::mainMenu()
{
    QFETCH(QString, menu);
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    auto *m = m_corvel->findChild<QMenu *>(menu, Qt::FindDirectChildrenOnly);
    QVERIFY(m);
    QList<QAction *> items;
    const auto actions = m->actions();
    for (QAction *a : actions) {
        if (!a->isSeparator()) {
            items << a;
        }
    }
    if (name.isEmpty()) {
        QCOMPARE(items.size(), position);
        return;
    }
    QVERIFY2(position < items.size(), qPrintable(actionNames(items).join(' ')));
    QCOMPARE(items.at(position)->objectName(), name);
    QCOMPARE(items.at(position)->text(), caption);
    QCOMPARE(m_corvel->action(name), items.at(position));
}

void TestShell::toolbar()
{
    const QList<std::pair<QString, QString>> expected = {
            {"new", "New net"},        {"open", "Open Net"},
            {"save", "Save Net"},      {"train", "Train Net"},
            {"stop", "Stop Training"}, {"runnet", "Run Net"},
            {"runtest", "Test Net"},   {"plotweights", "Plot Weights"},
            {"plotnet", "Plot"},       {"drawnet", "Plot Network"},
    };
    QCOMPARE(m_corvel->ui()->Toolbar1->objectName(), QStringLiteral("Toolbar1"));
    const QList<QAction *> buttons = m_corvel->toolActions();
    QCOMPARE(buttons.size(), expected.size());
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons.at(i)->data().toString(), expected.at(i).first);
        QCOMPARE(buttons.at(i)->toolTip(), expected.at(i).second);
        QVERIFY2(!buttons.at(i)->icon().pixmap(24, 24).isNull(), qPrintable(expected.at(i).first));
        QCOMPARE(m_corvel->toolAction(expected.at(i).first), buttons.at(i));
    }
    // Positions count from 1: button 3 is "save".
    m_corvel->enableToolButton(3, false);
    QVERIFY(!m_corvel->toolAction("save")->isEnabled());
    QVERIFY(m_corvel->toolAction("open")->isEnabled());
    QVERIFY(m_corvel->toolAction("train")->isEnabled());
}

void TestShell::coreControlNames()
{
    // The kind of control each name prefix stands for; menu names are menus or their items,
    // lower-case names toolbar buttons.
    const QList<QPair<QString, const char *>> kinds {
            {"TXT_", "QLineEdit"},   {"LBL_", "QLabel"},    {"PNL_", "QLabel"},
            {"BTN_", "QPushButton"}, {"CHK_", "QCheckBox"}, {"CMB_", "QComboBox"},
            {"FRA_", "QGroupBox"},   {"SPN_", "UpDown"},
    };
    const QStringList names = Control::all();
    QVERIFY(names.size() > 60);
    for (const QString &name : names) {
        const auto widgets = m_corvel->findChildren<QWidget *>(name);
        const auto actions = m_corvel->findChildren<QAction *>(name);
        QVERIFY2(widgets.size() + actions.size() == 1, qPrintable(name));
        if (name.startsWith(QLatin1String("MNU_"))) {
            QVERIFY2(actions.size() == 1 || qobject_cast<QMenu *>(widgets.value(0)),
                     qPrintable(name));
            continue;
        }
        if (name.at(0).isLower()) {
            QVERIFY2(actions.size() == 1 && m_corvel->toolAction(name) == actions.constFirst(),
                     qPrintable(name));
            continue;
        }
        QVERIFY2(widgets.size() == 1, qPrintable(name));
        const QWidget *w = widgets.constFirst();
        const char *kind = nullptr;
        for (const auto &k : kinds) {
            if (name.startsWith(k.first)) {
                kind = k.second;
            }
        }
        // The hidden link ends carry whole texts of many lines.
        const bool linkEnd = name.startsWith(QLatin1String("TXT_")) && w->inherits("QPlainTextEdit")
                && !w->isVisibleTo(m_corvel);
        QVERIFY2(kind && (w->inherits(kind) || linkEnd),
                 qPrintable(name + " " + w->metaObject()->className()));
        // Every control the user can see tells what it is for when the mouse rests on it.
        if (w->isVisibleTo(m_corvel) && !qobject_cast<const QGroupBox *>(w)) {
            QVERIFY2(!w->toolTip().isEmpty(), qPrintable(name + " has no hint"));
        }
    }

    // Bound to the real window, every name reaches its control; a name the window lacks is
    // reported.
    FormState form;
    FormBinder binder(form, *m_corvel);
    QTest::failOnWarning(QRegularExpression("FormBinder"));
    for (const QString &name : names) {
        form.setEnabled(name, true);
    }
    QTest::ignoreMessage(QtWarningMsg,
                         "FormBinder: the window Corvel has no control named TXT_Nowhere");
    form.setText(QStringLiteral("TXT_Nowhere"), QStringLiteral("lost"));
}

void TestShell::mainWindowControls_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");

    const struct
    {
        const char *name;
        const char *className;
        const char *text;
        const char *hint;
    } rows[] = {
            {"FRA_NetSize", "QGroupBox", "Net Size", nullptr},
            {"BTN_Change", "QPushButton", "Change", "Change layer size"},
            {"FRA_LearnPar", "QGroupBox", "Learning Parameters", nullptr},
            {"UpDown1", "UpDown", nullptr, nullptr},
            {"UpDown2", "UpDown", nullptr, nullptr},
            {"UpDown3", "UpDown", nullptr, nullptr},
            {"UpDown4", "UpDown", nullptr, nullptr},
            {"CHK_AutoLearn", "QCheckBox", "Auto", "Adjust Eta & Alpha automaticly"},
            {"FRA_EpocPar", "QGroupBox", "Epoc Parameters", nullptr},
            {"CHK_RND", "QCheckBox", "Random Sampling", nullptr},
            {"FRA_Results", "QGroupBox", "Training Results", nullptr},
            {"CHK_ShowTestErr", "QCheckBox", "Test", nullptr},
            {"FRA_Weights", "QGroupBox", "Weights", nullptr},
            {"BTN_Randomize", "QPushButton", "Randomize", "Randomize weights"},
            {"FRA_Files", "QGroupBox", "Files", nullptr},
            {"LBL_DataFile", "ClickableLabel", "Click here to Open File", nullptr},
            {"LBL_TestFile", "ClickableLabel", "Click here to Open File", nullptr},
            {"LBL_WeightFile", "ClickableLabel", "Click here to Open File", nullptr},
            {"BTN_EditPat", "QPushButton", "<- Edit", nullptr},
            {"BTN_EditTst", "QPushButton", "<- Edit", nullptr},
            {"BTN_EditWgt", "QPushButton", "<- Edit", nullptr},
            {"LBL_Npts", "QLabel", "0", nullptr},
            {"LBL_NptsTST", "QLabel", "0", nullptr},
            {"TXT_PAT", "QPlainTextEdit", nullptr, nullptr},
            {"TXT_TST", "QPlainTextEdit", nullptr, nullptr},
            {"TXT_PATOUTS", "QPlainTextEdit", "Update Link", nullptr},
            {"TXT_TSTOUTS", "QPlainTextEdit", "Update Link", nullptr},
            {"Toolbar1", "QToolBar", nullptr, nullptr},
    };

    for (const auto &r : rows) {
        QTest::addRow("%s", r.name) << QString::fromLatin1(r.className)
                                    << QString::fromLatin1(r.text) << QString::fromLatin1(r.hint);
    }
}

void TestShell::mainWindowControls()
{
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const auto found = m_corvel->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *w = found.constFirst();
    QVERIFY2(w->inherits(className.toLatin1().constData()), w->metaObject()->className());
    if (!text.isNull()) {
        QString shown;
        if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            shown = b->text();
        } else if (auto *l = qobject_cast<QLabel *>(w)) {
            shown = l->text();
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            shown = g->title();
        } else {
            shown = w->property("plainText").toString();
        }
        QCOMPARE(shown, text);
    }
    if (!hint.isNull()) {
        QCOMPARE(w->toolTip(), hint);
    }
    // Every control the user can see tells what it is for when the mouse rests on it.
    if (w->isVisibleTo(m_corvel) && !qobject_cast<QGroupBox *>(w) && !qobject_cast<QToolBar *>(w)) {
        QVERIFY2(!w->toolTip().isEmpty(), "no hint");
    }
}

void TestShell::textBoxesSelectAllOnFocus()
{
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    const auto edits = m_corvel->findChildren<QLineEdit *>();
    QVERIFY(edits.size() >= 12);
    for (QLineEdit *edit : edits) {
        if (!edit->isVisible() || !edit->isEnabled()) {
            continue;
        }
        if (edit->text().isEmpty()) {
            edit->setText(QStringLiteral("12.5"));
        }
        edit->deselect();
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
        QTRY_COMPARE_WITH_TIMEOUT(edit->selectedText(), edit->text(), 1000);
    }
}

void TestShell::windowMenuTiles_data()
{
    QTest::addColumn<bool>("fromReport");
    QTest::addColumn<int>("element");
    QTest::addRow("Tile Vertical from the main window") << false << 2;
    QTest::addRow("Tile Horizontal from the main window") << false << 1;
    QTest::addRow("Tile Vertical from the report window") << true << 2;
    QTest::addRow("Tile Horizontal from the report window") << true << 1;
}

void TestShell::windowMenuTiles()
{
    QFETCH(bool, fromReport);
    QFETCH(int, element);
    auto *report = new ReportWindow;
    m_frame->addChildWindow(report)->show();
    QMdiArea *area = m_frame->mdiArea();
    const QList<QMdiSubWindow *> subs = area->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(subs.size(), 2);
    subs.at(0)->showMaximized();
    QVERIFY(subs.at(0)->isMaximized());

    QWidget *owner = fromReport ? static_cast<QWidget *>(report) : m_corvel;
    auto *item = owner->findChild<QAction *>(QStringLiteral("MNU_WINDOW1_%1").arg(element));
    QVERIFY(item);
    item->trigger();

    const QRect view = area->viewport()->rect();
    const QRect a = subs.at(0)->geometry();
    const QRect b = subs.at(1)->geometry();
    QVERIFY(!subs.at(0)->isMaximized());
    QVERIFY2(!a.intersects(b), "tiles overlap");
    QCOMPARE(a.united(b), view);
    if (element == 2) {
        // Side by side, each the full height.
        QCOMPARE(a.height(), view.height());
        QCOMPARE(b.left(), a.right() + 1);
    } else {
        // One above the other, each the full width.
        QCOMPARE(a.width(), view.width());
        QCOMPARE(b.top(), a.bottom() + 1);
    }
}

// A window kind registered once is brought up by its toolbar button, recorded in the layout and
// brought back and placed by a layout line; the main window outlives the closing of the others.
void TestShell::windowRegistry()
{
    ScriptedUi ui;
    WindowRegistry windows(*m_frame, *m_corvel, ui);
    int made = 0;
    windows.add(QStringLiteral("CPL"), [this] { return m_corvel; });
    windows.add(QStringLiteral("PLOTW"),
                [&made] {
                    ++made;
                    return new QLabel(QStringLiteral("weights"));
                },
                {}, {QStringLiteral("plotweights")});
    QTest::ignoreMessage(QtWarningMsg,
                         "WindowRegistry: the window PLOTOUT names no action MNU_NoSuchItem");
    windows.add(QStringLiteral("plotout"), [] { return new QLabel; }, {},
                {QStringLiteral("MNU_NoSuchItem")});

    QVERIFY(!windows.find(QStringLiteral("PLOTW")));
    m_corvel->toolAction(QStringLiteral("plotweights"))->trigger();
    QWidget *plot = windows.find(QStringLiteral("plotw"));
    QVERIFY(plot && qobject_cast<QMdiSubWindow *>(plot->parentWidget()));
    QCOMPARE(plot->property("Tag").toString(), QStringLiteral("PLOTW"));
    QCOMPARE(windows.show(QStringLiteral("PLOTW")), plot);
    QCOMPARE(made, 1);

    QStringList tags;
    for (const WindowLayout &w : windows.save()) {
        tags << w.tag;
    }
    QCOMPARE(tags, (QStringList {"MDI", "CPL", "PLOTW"}));

    windows.closeSatellites();
    QTRY_VERIFY(!windows.find(QStringLiteral("PLOTW")));
    QVERIFY(windows.find(QStringLiteral("CPL")));

    const QRect place(30, 40, 300, 200);
    windows.restore({layoutRecord(QStringLiteral(" plotw "), 0, place),
                     layoutRecord(QStringLiteral("NET_LAYOUT"), 0, place)});
    plot = windows.find(QStringLiteral("PLOTW"));
    QVERIFY(plot);
    QCOMPARE(made, 2);
    QCOMPARE(plot->parentWidget()->geometry(), place);
    QVERIFY(!windows.find(QStringLiteral("NET_LAYOUT")));
    QCOMPARE(ui.yields(), 2);

    windows.restore({layoutRecord(QStringLiteral("PLOTW"), 2, QRect(1, 1, 50, 50))});
    QVERIFY(plot->parentWidget()->isMaximized());
}

// Layout lines from a bigger screen, or edited by hand, place every window whole on the screen
// and inside the frame, at a size it can have.
void TestShell::restoredLayoutFitsTheScreen()
{
    ScriptedUi ui;
    WindowRegistry windows(*m_frame, *m_corvel, ui);
    windows.add(QStringLiteral("PLOTW"), [] { return new QLabel(QStringLiteral("weights")); });
    // 1,500,000 twips are 100,000 pixels.
    windows.restore({WindowLayout {QStringLiteral("MDI"), 0, 90000, -5000, 1500000, 1500000},
                     WindowLayout {QStringLiteral("PLOTW"), 0, 1500000, -1500000, -300, -4500}});
    const QRect screen = m_frame->screen()->availableGeometry();
    QVERIFY2(screen.contains(m_frame->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(m_frame->x())
                                .arg(m_frame->y())
                                .arg(m_frame->width())
                                .arg(m_frame->height())));
    QWidget *plot = windows.find(QStringLiteral("PLOTW"));
    QVERIFY(plot);
    const QRect place = plot->parentWidget()->geometry();
    QVERIFY(place.width() > 0 && place.height() > 0);
    QVERIFY(QRect(QPoint(0, 0), m_frame->mdiArea()->viewport()->size()).contains(place));
}

void TestShell::aboutBox()
{
    QStringList texts;
    QString title;
    QString header;
    bool closed = false;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        auto *about = qobject_cast<AboutDialog *>(modal);
        if (!about) {
            modal->close();
            return;
        }
        title = about->windowTitle();
        header = about->ui()->LBL_Title->text();
        // Caption and value side by side in each row of the limits panel.
        auto *grid = about->findChild<QGridLayout *>();
        for (int row = 0; grid && row < grid->rowCount(); ++row) {
            for (int column = 0; column < 2; ++column) {
                QLayoutItem *item = grid->itemAtPosition(row, column);
                auto *label = item ? qobject_cast<QLabel *>(item->widget()) : nullptr;
                texts << (label ? label->text() : QString());
            }
        }
        QTest::mouseClick(about->ui()->BTN_ILikeIt, Qt::LeftButton);
        closed = !about->isVisible();
    });
    m_corvel->action("MNU_HELP_About")->trigger();
    QCOMPARE(title, QStringLiteral("About Axona"));
    QCOMPARE(header, QStringLiteral(" Axona32 1.7 "));
    QCOMPARE(texts,
             QStringList({"Max. no. of layers:", "5", "Max. layer size:", "1024",
                          "Max. no. of patterns:", "8192", "Max no. of connections:", "32767"}));
    QVERIFY(closed);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestShell::messageBox_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("expectedIcon");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    using B = UiPort::Buttons;
    using I = UiPort::Icon;
    using A = UiPort::Answer;
    QTest::addRow("critical, OK") << int(I::Critical) << int(B::Ok) << QString()
                                  << int(QMessageBox::Critical) << "Axona" << int(QMessageBox::Ok)
                                  << int(A::Ok);
    QTest::addRow("exclamation is a warning")
            << int(I::Exclamation) << int(B::Ok) << QString() << int(QMessageBox::Warning)
            << "Axona" << int(QMessageBox::Ok) << int(A::Ok);
    QTest::addRow("information, own title")
            << int(I::Information) << int(B::Ok) << "Axona DDE Failure"
            << int(QMessageBox::Information) << "Axona DDE Failure" << int(QMessageBox::Ok)
            << int(A::Ok);
    QTest::addRow("question, Yes/No, No")
            << int(I::Question) << int(B::YesNo) << QString() << int(QMessageBox::Question)
            << "Axona" << int(QMessageBox::No) << int(A::No);
    QTest::addRow("question, Yes/No/Cancel, Cancel")
            << int(I::Question) << int(B::YesNoCancel) << QString() << int(QMessageBox::Question)
            << "Axona" << int(QMessageBox::Cancel) << int(A::Cancel);
    QTest::addRow("question, Yes/No/Cancel, Yes")
            << int(I::Question) << int(B::YesNoCancel) << QString() << int(QMessageBox::Question)
            << "Axona" << int(QMessageBox::Yes) << int(A::Yes);
    QTest::addRow("OK/Cancel, Cancel")
            << int(I::None) << int(B::OkCancel) << QString() << int(QMessageBox::NoIcon) << "Axona"
            << int(QMessageBox::Cancel) << int(A::Cancel);
}

void TestShell::messageBox()
{
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QString, title);
    QFETCH(int, expectedIcon);
    QFETCH(QString, expectedTitle);
    QFETCH(int, press);
    QFETCH(int, answer);

    QtUiPort port(m_frame.get(), m_frame->statusPanel());
    QString shownTitle;
    QString shownText;
    int shownIcon = -1;
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        shownTitle = box->windowTitle();
        shownText = box->text();
        shownIcon = box->icon();
        QAbstractButton *button = box->button(QMessageBox::StandardButton(press));
        if (button) {
            button->click();
        } else {
            box->close();
        }
    });
    // Line breaks as the program writes them: LF+CR, CR alone, CR+LF.
    const UiPort::Answer got =
            port.message(QStringLiteral("Pattern file and net size do not agree !!!\n\rread, no. "
                                        "of inputs=3\rOutputs=1\r\nend"),
                         UiPort::Icon(icon), UiPort::Buttons(buttons), title);
    QCOMPARE(shownTitle, expectedTitle);
    QCOMPARE(shownIcon, expectedIcon);
    QCOMPARE(shownText,
             QStringLiteral("Pattern file and net size do not agree !!!\nread, no. of "
                            "inputs=3\nOutputs=1\nend"));
    QCOMPARE(int(got), answer);

    port.setStatus(QStringLiteral("Network Init Completed..."));
    QCOMPARE(m_frame->statusPanel()->text(), QStringLiteral("Network Init Completed..."));
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
