#include "shell/corvelwindow.h"

#include <vector>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "gui/clickablelabel.h"
#include "gui/formhelpers.h"
#include "gui/updown.h"
#include "shell/aboutdialog.h"

namespace {

const QString noFile = QStringLiteral("Click here to Open File");

// One menu entry: its name and caption; a null name is a separator.
struct MenuItem
{
    const char *name;
    const char *caption;
};

QMenu *buildMenu(QWidget *owner,
                 const char *name,
                 const char *caption,
                 std::initializer_list<MenuItem> items)
{
    auto *menu = new QMenu(QString::fromLatin1(caption), owner);
    menu->setObjectName(QLatin1String(name));
    for (const MenuItem &item : items) {
        if (!item.name) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QLatin1String(item.name));
    }
    return menu;
}

// A text box that takes a short number: wide enough for "0.0001" and no wider.
QLineEdit *numberBox(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    QLineEdit *edit = Form::edit(parent, name, text, hint);
    edit->setMaximumWidth(90);
    edit->setMinimumWidth(60);
    return edit;
}

QLabel *resultLabel(QWidget *parent, const char *name, const QString &hint)
{
    QLabel *label = Form::value(parent, name, QStringLiteral("0"), hint);
    label->setMinimumWidth(110);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

UpDown *spinner(QWidget *parent, const char *name, const QString &hint)
{
    auto *spin = new UpDown(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setToolTip(hint);
    return spin;
}

} // namespace

CorvelWindow::CorvelWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::CorvelWindow>())
{
    // The icons live in this library; pull its resources in explicitly.
    Q_INIT_RESOURCE(axona);
    setObjectName(QStringLiteral("Corvel"));
    setWindowTitle(QStringLiteral("Neural Control Panel"));
    setProperty("Tag", QStringLiteral("CPL"));
    createMenus();
    createToolBar();
    createPanels();
    createShortcuts();
}

CorvelWindow::~CorvelWindow() = default;

void CorvelWindow::createMenus()
{
    Ui::CorvelWindow &ui = *m_ui;
    ui.MNU_FILE = buildMenu(this, "MNU_FILE", "&File",
                            {{"MNU_FILE_NewNet", "&New Net"},
                             {"MNU_FILE_OpenNet", "&Open Net..."},
                             {"MNU_FILE_OpenPat", "Open &Patterns..."},
                             {"MNU_FILE_OpenTest", "Open &Test..."},
                             {"MNU_FILE_OpenWeight", "Open &Weights..."},
                             {nullptr, nullptr},
                             {"MNU_FILE_SaveNet", "Save &Net"},
                             {"MNU_FILE_SaveNetAs", "&Save Net As..."},
                             {"MNU_FILE_SaveWeight", "Save W&eights..."},
                             {"MNU_FILE_SaveWeightAs", "Save Weigh&ts As..."},
                             {"MNU_FILE_SavePatsAs", "Save P&ats As..."},
                             {"MNU_FILE_SaveTstPats", "Save T&est Pats. As..."},
                             {nullptr, nullptr},
                             {"MNU_FILE_ExportC", "Export &C..."},
                             {"MNU_FILE_ExportOnnx", "Export O&NNX..."},
                             {"MNU_FILE_ExportData", "Export &Data as CSV..."},
                             {nullptr, nullptr},
                             {"MNU_FILE_Print", "&Print..."},
                             {"MNU_FILE_PrintSetup", "P&rint Setup..."},
                             {nullptr, nullptr},
                             {"MNU_FILE_EXIT", "E&xit"}});
    ui.MNU_EDIT = buildMenu(this, "MNU_EDIT", "&Edit",
                            {{"MNU_EDIT_PastePatLinked", "&Paste Pats (Linked)"},
                             {"MNU_EDIT_PasteTSTLinked", "Paste &Tst Pats (Linked)"},
                             {nullptr, nullptr},
                             {"MNU_EDIT_CopyOutsLinked", "&Copy Pat Outputs"},
                             {"MNU_EDIT_CopyTSTLinked", "C&opy Tst Outputs"},
                             {nullptr, nullptr},
                             {"MNU_EDIT_Update", "&Update Client"}});
    ui.MNU_DATA = buildMenu(this, "MNU_DATA", "&Data",
                            {{"MNU_DATA_Norm", "&Normalize..."},
                             {"MNU_DATA_CreateTest", "&Create Test..."},
                             {nullptr, nullptr},
                             {"MNU_DATA_ImportCsv", "&Import CSV..."}});
    ui.MNU_VIEW = buildMenu(this, "MNU_VIEW", "&View",
                            {{"MNU_VIEWWeights", "&Weights.."},
                             {"MNU_VIEWDeriv", "Weights &Delta.."},
                             {"MNU_VIEWSens", "Input &Sensitivity"},
                             {"MNU_VIEWEval", "&Evaluation"}});
    ui.MNU_PLOT = buildMenu(this, "MNU_PLOT", "&Plot",
                            {{"MNU_PLOTS_0", "&Weights"},
                             {"MNU_PLOTS_1", "Net &Output"},
                             {"MNU_PLOTS_2", "&Net Layout"},
                             {"MNU_PLOTS_3", "Input &Sensitivity"}});
    ui.MNU_SETUP = new QAction(tr("&Setup..."), this);
    ui.MNU_SETUP->setObjectName(QStringLiteral("MNU_SETUP"));
    ui.MNU_WINDOW = createWindowMenu(this);
    ui.MNU_HELP = buildMenu(this, "MNU_HELP", "&Help",
                            {{"MNU_HELP_Help", "&Help"}, {"MNU_HELP_About", "&About"}});

    connect(action(QStringLiteral("MNU_FILE_EXIT")), &QAction::triggered, this, [this] {
        // Closing goes through the sub-window so that the MDI area forgets this window.
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    });
    connect(action(QStringLiteral("MNU_HELP_About")), &QAction::triggered, this,
            [this] { showAboutBox(this); });
}

void CorvelWindow::createShortcuts()
{
    // The platform's usual keys, beside the access keys of the captions.
    const struct
    {
        QAction *action;
        QList<QKeySequence> keys;
    } shortcuts[] = {
            {action(QStringLiteral("MNU_FILE_NewNet")), {QKeySequence(Qt::CTRL | Qt::Key_N)}},
            {action(QStringLiteral("MNU_FILE_OpenNet")), {QKeySequence(Qt::CTRL | Qt::Key_O)}},
            {action(QStringLiteral("MNU_FILE_SaveNet")), {QKeySequence(Qt::CTRL | Qt::Key_S)}},
            {action(QStringLiteral("MNU_FILE_EXIT")), {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
            {action(QStringLiteral("MNU_HELP_Help")), {QKeySequence(Qt::Key_F1)}},
            {toolAction(QStringLiteral("train")), {QKeySequence(Qt::Key_F5)}},
            {toolAction(QStringLiteral("stop")),
             {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Period)}},
    };

    for (const auto &s : shortcuts) {
        s.action->setShortcuts(s.keys);
    }
}

void CorvelWindow::createToolBar()
{
    auto *bar = new QToolBar(tr("Toolbar"), this);
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    const struct
    {
        const char *key;
        const char *tip;
    } buttons[] = {
            {"new", "New net"},        {"open", "Open Net"},
            {"save", "Save Net"},      {"train", "Train Net"},
            {"stop", "Stop Training"}, {"runnet", "Run Net"},
            {"runtest", "Test Net"},   {"plotweights", "Plot Weights"},
            {"plotnet", "Plot"},       {"drawnet", "Plot Network"},
    };

    for (const auto &b : buttons) {
        const QString key = QString::fromLatin1(b.key);
        QAction *a = bar->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(key)),
                                    QString::fromLatin1(b.tip));
        a->setObjectName(key);
        a->setData(key);
        a->setToolTip(QString::fromLatin1(b.tip));
        // Separate the file, training, running and plotting groups.
        if (key == QLatin1String("save") || key == QLatin1String("stop")
            || key == QLatin1String("runtest")) {
            bar->addSeparator();
        }
    }
    addToolBar(Qt::TopToolBarArea, bar);
    m_ui->Toolbar1 = bar;
}

void CorvelWindow::createPanels()
{
    Ui::CorvelWindow &ui = *m_ui;
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto *grid = new QGridLayout(central);

    ui.TXT_Title = Form::edit(central, "TXT_Title", QStringLiteral("New Net"),
                              tr("Title of the network, saved with it"));

    // "Net Size": the layer count with its spinner, the layer list and the neuron function.
    {
        QGroupBox *box = Form::frame(central, "FRA_NetSize", QStringLiteral("Net Size"));
        auto *g = new QGridLayout(box);
        ui.PNL_Layers = Form::value(box, "PNL_Layers", QStringLiteral("3"),
                                    tr("Number of layers, input and output included"));
        ui.PNL_Layers->setAlignment(Qt::AlignCenter);
        ui.PNL_Layers->setMinimumWidth(32);
        ui.SPN_Layers = spinner(box, "SPN_Layers", tr("Add or remove a layer"));
        ui.PNL_Lindex = Form::value(box, "PNL_Lindex", QStringLiteral("1"),
                                    tr("Number of the selected layer"));
        ui.PNL_Lindex->setAlignment(Qt::AlignCenter);
        ui.PNL_Lindex->setMinimumWidth(32);
        ui.CMB_LayerSize = new QComboBox(box);
        ui.CMB_LayerSize->setObjectName(QStringLiteral("CMB_LayerSize"));
        ui.CMB_LayerSize->setEditable(true);
        ui.CMB_LayerSize->setInsertPolicy(QComboBox::NoInsert);
        ui.CMB_LayerSize->addItems({QStringLiteral("2"), QStringLiteral("2"), QStringLiteral("1")});
        ui.CMB_LayerSize->setToolTip(tr("Select a layer, or type its new number of nodes"));
        Form::selectAllOnFocus(ui.CMB_LayerSize);
        ui.CMB_idxfn = new QComboBox(box);
        ui.CMB_idxfn->setObjectName(QStringLiteral("CMB_idxfn"));
        ui.CMB_idxfn->addItems({QStringLiteral("Sigmoid"), QStringLiteral("Linear"),
                                QStringLiteral("Tanh"), QStringLiteral("Gaussian"),
                                QStringLiteral("Sigmoid+0.1")});
        ui.CMB_idxfn->setToolTip(tr("Neuron function of the selected layer"));
        ui.BTN_Change = Form::button(box, "BTN_Change", QStringLiteral("Change"),
                                     QStringLiteral("Change layer size"));

        auto *layers = new QHBoxLayout;
        layers->addWidget(ui.PNL_Layers);
        layers->addWidget(ui.SPN_Layers);
        layers->addStretch();
        g->addWidget(Form::caption(box, tr("Layers:")), 0, 0);
        g->addLayout(layers, 0, 1);
        g->addWidget(Form::caption(box, tr("Layer:")), 1, 0);
        g->addWidget(ui.PNL_Lindex, 1, 1, Qt::AlignLeft);
        g->addWidget(Form::caption(box, tr("Nodes:")), 2, 0);
        g->addWidget(ui.CMB_LayerSize, 2, 1);
        g->addWidget(Form::caption(box, tr("Function:")), 3, 0);
        g->addWidget(ui.CMB_idxfn, 3, 1);
        g->addWidget(ui.BTN_Change, 4, 0, 1, 2);
        g->setRowStretch(5, 1);
        ui.FRA_NetSize = box;
    }

    // "Learning Parameters": two columns of boxes; the first four have spinners.
    {
        QGroupBox *box =
                Form::frame(central, "FRA_LearnPar", QStringLiteral("Learning Parameters"));
        auto *g = new QGridLayout(box);
        ui.TXT_Eta = numberBox(box, "TXT_Eta", QStringLiteral("0.2"), tr("Learning rate"));
        ui.UpDown1 = spinner(box, "UpDown1", tr("Change Eta by one unit of its first digit"));
        ui.TXT_Alpha = numberBox(box, "TXT_Alpha", QStringLiteral("0.5"), tr("Momentum"));
        ui.UpDown2 = spinner(box, "UpDown2", tr("Change Alpha by one unit of its first digit"));
        ui.TXT_Pnoise = numberBox(box, "TXT_Pnoise", QStringLiteral("0"),
                                  tr("Noise added to the inputs while training"));
        ui.UpDown3 = spinner(box, "UpDown3", tr("Change the input noise by 0.01"));
        ui.TXT_Wnoise = numberBox(box, "TXT_Wnoise", QStringLiteral("0"),
                                  tr("Noise added to the weights at each update"));
        ui.UpDown4 = spinner(box, "UpDown4", tr("Change the weight noise by 0.002"));
        ui.TXT_Temp = numberBox(box, "TXT_Temp", QStringLiteral("1"),
                                tr("Slope of the neuron functions"));
        ui.TXT_epocs = numberBox(box, "TXT_epocs", QStringLiteral("5"),
                                 tr("Epochs trained per engine call"));
        ui.TXT_PatClip = numberBox(box, "TXT_PatClip", QStringLiteral("0"),
                                   tr("Patterns with an error below Clip x Target Err are not "
                                      "trained"));
        ui.CHK_AutoLearn = Form::check(box, "CHK_AutoLearn", QStringLiteral("Auto"),
                                       QStringLiteral("Adjust Eta & Alpha automaticly"));
        ui.BTN_Suggest = Form::button(box, "BTN_Suggest", QStringLiteral("Suggest"),
                                      tr("Set Eta, Alpha, the weight range and the training mode "
                                         "to values that start this network well"));

        const struct
        {
            const char *caption;
            QLineEdit *edit;
            UpDown *spin;
            int row;
            int column;
        } rows[] = {
                {"Eta", ui.TXT_Eta, ui.UpDown1, 0, 0},
                {"Alpha", ui.TXT_Alpha, ui.UpDown2, 1, 0},
                {"Input Noise", ui.TXT_Pnoise, ui.UpDown3, 2, 0},
                {"Weight Noise", ui.TXT_Wnoise, ui.UpDown4, 3, 0},
                {"Temp", ui.TXT_Temp, nullptr, 0, 4},
                {"Iter./calc.", ui.TXT_epocs, nullptr, 1, 4},
                {"Clip Patterns", ui.TXT_PatClip, nullptr, 2, 4},
        };

        for (const auto &r : rows) {
            g->addWidget(Form::caption(box, QString::fromLatin1(r.caption)), r.row, r.column);
            g->addWidget(r.edit, r.row, r.column + 1);
            if (r.spin) {
                g->addWidget(r.spin, r.row, r.column + 2);
            }
        }
        g->setColumnMinimumWidth(3, 12);
        g->addWidget(ui.CHK_AutoLearn, 3, 4);
        g->addWidget(ui.BTN_Suggest, 3, 5);
        ui.FRA_LearnPar = box;
    }

    // "Epoc Parameters"
    {
        QGroupBox *box = Form::frame(central, "FRA_EpocPar", QStringLiteral("Epoc Parameters"));
        auto *h = new QHBoxLayout(box);
        ui.CHK_RND = Form::check(box, "CHK_RND", QStringLiteral("Random Sampling"),
                                 tr("Draw the patterns of an epoch at random"));
        ui.TXT_EpocLen = numberBox(box, "TXT_EpocLen", QStringLiteral("1"),
                                   tr("Patterns per weight update"));
        ui.TXT_EpocLen->setEnabled(false);
        h->addWidget(ui.CHK_RND);
        h->addStretch();
        h->addWidget(Form::caption(box, QStringLiteral("Epoch length")));
        h->addWidget(ui.TXT_EpocLen);
        ui.FRA_EpocPar = box;
    }

    // "Training Results"
    {
        QGroupBox *box = Form::frame(central, "FRA_Results", QStringLiteral("Training Results"));
        auto *g = new QGridLayout(box);
        ui.TXT_TargetErr = numberBox(box, "TXT_TargetErr", QStringLiteral("0.01"),
                                     tr("A pattern whose error is at most this is good"));
        ui.LBL_Error = resultLabel(box, "LBL_Error", tr("RMS error of the last iteration"));
        ui.LBL_Change = resultLabel(box, "LBL_Change", tr("Change of the RMS error"));
        ui.LBL_iter = resultLabel(box, "LBL_iter", tr("Epochs trained in this run"));
        ui.LBL_GoodPats = resultLabel(box, "LBL_GoodPats",
                                      tr("Percentage of patterns within the target error"));
        ui.CHK_ShowTestErr = Form::check(box, "CHK_ShowTestErr", QStringLiteral("Test"),
                                         tr("Measure the error on the test set"));
        ui.CHK_KeepBest =
                Form::check(box, "CHK_KeepBest", QStringLiteral("Keep best weights on test set"),
                            tr("End each run with the weights of its iteration of "
                               "lowest test error"));
        ui.LBL_ClassErr = resultLabel(box, "LBL_ClassErr",
                                      tr("Misclassified patterns of the measured set: the "
                                         "highest output taken as the class"));
        ui.LBL_ClassErrCap = Form::caption(box, QStringLiteral("Class. err.:"));
        ui.LBL_ClassErrCap->setObjectName(QStringLiteral("LBL_ClassErrCap"));
        ui.LBL_ClassErrCap->setToolTip(ui.LBL_ClassErr->toolTip());

        const struct
        {
            const char *caption;
            QWidget *field;
        } rows[] = {
                {"Target Err:", ui.TXT_TargetErr}, {"RMS Error:", ui.LBL_Error},
                {"Change:", ui.LBL_Change},        {"Iterations:", ui.LBL_iter},
                {"Good Pats.:", ui.LBL_GoodPats},
        };

        int row = 0;
        for (const auto &r : rows) {
            g->addWidget(Form::caption(box, QString::fromLatin1(r.caption)), row, 0);
            g->addWidget(r.field, row, 1);
            ++row;
        }
        g->addWidget(ui.LBL_ClassErrCap, row, 0);
        g->addWidget(ui.LBL_ClassErr, row, 1);
        ++row;
        g->addWidget(ui.CHK_ShowTestErr, row, 1);
        g->addWidget(ui.CHK_KeepBest, row + 1, 0, 1, 2);
        ui.FRA_Results = box;
    }

    // "Weights": the statistics of the live weights, then the range of random weights.
    {
        QGroupBox *box = Form::frame(central, "FRA_Weights", QStringLiteral("Weights"));
        auto *g = new QGridLayout(box);
        ui.PNL_NW = Form::value(box, "PNL_NW", QStringLiteral("0"), tr("Number of weights"));
        ui.PNL_MinW = Form::value(box, "PNL_MinW", QString(), tr("Smallest weight"));
        ui.PNL_MaxW = Form::value(box, "PNL_MaxW", QString(), tr("Largest weight"));
        for (QLabel *l : {ui.PNL_NW, ui.PNL_MinW, ui.PNL_MaxW}) {
            l->setMinimumWidth(80);
        }
        ui.TXT_minW = numberBox(box, "TXT_minW", QStringLiteral("-3"),
                                tr("Lower bound of the random weights"));
        ui.TXT_maxW = numberBox(box, "TXT_maxW", QStringLiteral("3"),
                                tr("Upper bound of the random weights"));
        ui.BTN_Randomize = Form::button(box, "BTN_Randomize", QStringLiteral("Randomize"),
                                        QStringLiteral("Randomize weights"));
        g->addWidget(Form::caption(box, QStringLiteral("Total Number:")), 0, 0, 1, 2);
        g->addWidget(ui.PNL_NW, 0, 2, 1, 2);
        g->addWidget(Form::caption(box, QStringLiteral("Min:")), 1, 0);
        g->addWidget(ui.PNL_MinW, 1, 1);
        g->addWidget(Form::caption(box, QStringLiteral("Max:")), 1, 2);
        g->addWidget(ui.PNL_MaxW, 1, 3);
        // A rule sets the range of new random weights apart from the live statistics above.
        auto *rule = new QFrame(box);
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        g->addWidget(rule, 2, 0, 1, 4);
        g->addWidget(Form::caption(box, QStringLiteral("Min:")), 3, 0);
        g->addWidget(ui.TXT_minW, 3, 1);
        g->addWidget(Form::caption(box, QStringLiteral("Max:")), 3, 2);
        g->addWidget(ui.TXT_maxW, 3, 3);
        g->addWidget(ui.BTN_Randomize, 4, 0, 1, 4);
        ui.FRA_Weights = box;
    }

    // "Files": each file name (click to open), its "<- Edit" button and its pattern count.
    {
        QGroupBox *box = Form::frame(central, "FRA_Files", QStringLiteral("Files"));
        auto *g = new QGridLayout(box);
        auto fileLabel = [box](const char *name, const QString &hint) {
            auto *label = new ClickableLabel(noFile, box);
            label->setObjectName(QLatin1String(name));
            label->setToolTip(hint);
            label->setMinimumWidth(200);
            label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
            return label;
        };
        ui.LBL_DataFile = fileLabel("LBL_DataFile", tr("Pattern file; click to open another"));
        ui.LBL_TestFile = fileLabel("LBL_TestFile", tr("Test file; click to open another"));
        ui.LBL_WeightFile = fileLabel("LBL_WeightFile", tr("Weight file"));
        ui.BTN_EditPat = Form::button(box, "BTN_EditPat", QStringLiteral("<- Edit"),
                                      tr("Open the pattern file in the editor"));
        ui.BTN_EditTst = Form::button(box, "BTN_EditTst", QStringLiteral("<- Edit"),
                                      tr("Open the test file in the editor"));
        ui.BTN_EditWgt = Form::button(box, "BTN_EditWgt", QStringLiteral("<- Edit"),
                                      tr("Open the weight file in the editor"));
        ui.LBL_Npts = resultLabel(box, "LBL_Npts", tr("Number of training patterns"));
        ui.LBL_NptsTST = resultLabel(box, "LBL_NptsTST", tr("Number of test patterns"));
        for (QLabel *l : {ui.LBL_Npts, ui.LBL_NptsTST}) {
            l->setMinimumWidth(70);
        }
        for (QPushButton *b : {ui.BTN_EditPat, ui.BTN_EditTst, ui.BTN_EditWgt}) {
            b->setEnabled(false);
        }

        const struct
        {
            const char *caption;
            ClickableLabel *file;
            QPushButton *edit;
            QLabel *count;
        } rows[] = {
                {"Patterns:", ui.LBL_DataFile, ui.BTN_EditPat, ui.LBL_Npts},
                {"Test:", ui.LBL_TestFile, ui.BTN_EditTst, ui.LBL_NptsTST},
                {"Weights:", ui.LBL_WeightFile, ui.BTN_EditWgt, nullptr},
        };

        int row = 0;
        for (const auto &r : rows) {
            g->addWidget(Form::caption(box, QString::fromLatin1(r.caption)), row, 0);
            g->addWidget(r.file, row, 1);
            g->addWidget(r.edit, row, 2);
            if (r.count) {
                g->addWidget(Form::caption(box, tr("Pats.:")), row, 3);
                g->addWidget(r.count, row, 4);
            }
            ++row;
        }
        g->setColumnStretch(1, 1);
        ui.FRA_Files = box;
    }

    // The link ends are never shown; they only carry text between the program and its links.
    auto linkEnd = [central](const char *name, const QString &text) {
        auto *edit = new QPlainTextEdit(text, central);
        edit->setObjectName(QLatin1String(name));
        edit->setVisible(false);
        return edit;
    };
    ui.TXT_PAT = linkEnd("TXT_PAT", QString());
    ui.TXT_TST = linkEnd("TXT_TST", QString());
    ui.TXT_PATOUTS = linkEnd("TXT_PATOUTS", QStringLiteral("Update Link"));
    ui.TXT_TSTOUTS = linkEnd("TXT_TSTOUTS", QStringLiteral("Update Link"));

    m_panels = grid;
    placePanels(true);
    m_wideWidth = central->minimumSizeHint().width();
    // A window made smaller than its panels (tiled, restored) stacks them in two columns, and
    // scrolls rather than squeezing them when even that does not fit.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("panelScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(central);
    scroll->installEventFilter(this);
    setCentralWidget(scroll);
}

void CorvelWindow::placePanels(bool wide)
{
    const Ui::CorvelWindow &ui = *m_ui;

    struct Place
    {
        QWidget *panel;
        int row;
        int column;
        int rows;
        int columns;
    };

    // Wide: three columns, the learning panels in the middle. Narrow: two columns, the net size
    // beside the results and weights, the learning panels and files below at full width.
    // A vector, not an initializer_list: the list's array would die with the conditional.
    const std::vector<Place> places = wide
            ? std::vector<Place> {{ui.TXT_Title, 0, 0, 1, 3},    {ui.FRA_NetSize, 1, 0, 2, 1},
                                  {ui.FRA_LearnPar, 1, 1, 1, 1}, {ui.FRA_EpocPar, 2, 1, 1, 1},
                                  {ui.FRA_Results, 1, 2, 1, 1},  {ui.FRA_Weights, 2, 2, 1, 1},
                                  {ui.FRA_Files, 3, 0, 1, 3}}
            : std::vector<Place> {{ui.TXT_Title, 0, 0, 1, 2},    {ui.FRA_NetSize, 1, 0, 2, 1},
                                  {ui.FRA_Results, 1, 1, 1, 1},  {ui.FRA_Weights, 2, 1, 1, 1},
                                  {ui.FRA_LearnPar, 3, 0, 1, 2}, {ui.FRA_EpocPar, 4, 0, 1, 2},
                                  {ui.FRA_Files, 5, 0, 1, 2}};
    for (const Place &p : places) {
        m_panels->removeWidget(p.panel);
    }
    for (int r = 0; r < m_panels->rowCount(); ++r) {
        m_panels->setRowStretch(r, 0);
    }
    for (int c = 0; c < m_panels->columnCount(); ++c) {
        m_panels->setColumnStretch(c, 0);
    }
    for (const Place &p : places) {
        const Qt::Alignment align =
                p.panel == ui.FRA_EpocPar && wide ? Qt::AlignTop : Qt::Alignment();
        m_panels->addWidget(p.panel, p.row, p.column, p.rows, p.columns, align);
    }
    m_panels->setRowStretch(wide ? 4 : 6, 1);
    m_panels->setColumnStretch(1, 1);
    m_widePanels = wide;
}

bool CorvelWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (auto *scroll = qobject_cast<QScrollArea *>(watched)) {
            // Decided on the area's own width, scroll bar or not, so the choice cannot swing
            // back and forth as a scroll bar comes and goes.
            const int room = scroll->width() - scroll->verticalScrollBar()->sizeHint().width();
            const bool wide = room >= m_wideWidth;
            if (wide != m_widePanels) {
                placePanels(wide);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QAction *CorvelWindow::action(const QString &name) const
{
    if (name == QLatin1String("MNU_SETUP")) {
        return m_ui->MNU_SETUP;
    }
    for (QMenu *menu : {m_ui->MNU_FILE, m_ui->MNU_EDIT, m_ui->MNU_DATA, m_ui->MNU_VIEW,
                        m_ui->MNU_PLOT, m_ui->MNU_WINDOW, m_ui->MNU_HELP}) {
        const auto actions = menu->actions();
        for (QAction *a : actions) {
            if (a->objectName() == name) {
                return a;
            }
        }
    }
    return nullptr;
}

QAction *CorvelWindow::toolAction(const QString &key) const
{
    const auto actions = toolActions();
    for (QAction *a : actions) {
        if (a->data().toString() == key) {
            return a;
        }
    }
    return nullptr;
}

QList<QAction *> CorvelWindow::toolActions() const
{
    QList<QAction *> result;
    const auto actions = m_ui->Toolbar1->actions();
    for (QAction *a : actions) {
        if (!a->isSeparator()) {
            result.append(a);
        }
    }
    return result;
}

void CorvelWindow::enableToolButton(int index, bool enabled)
{
    const auto actions = toolActions();
    if (index >= 1 && index <= actions.size()) {
        actions.at(index - 1)->setEnabled(enabled);
    }
}

void CorvelWindow::setCloseGuard(std::function<bool()> guard)
{
    m_closeGuard = std::move(guard);
}

QList<QAction *> CorvelWindow::menuBarActions() const
{
    const Ui::CorvelWindow &ui = *m_ui;
    return {ui.MNU_FILE->menuAction(),   ui.MNU_EDIT->menuAction(), ui.MNU_DATA->menuAction(),
            ui.MNU_VIEW->menuAction(),   ui.MNU_PLOT->menuAction(), ui.MNU_SETUP,
            ui.MNU_WINDOW->menuAction(), ui.MNU_HELP->menuAction()};
}

void CorvelWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}
