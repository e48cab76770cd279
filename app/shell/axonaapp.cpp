#include "shell/axonaapp.h"

#include <array>
#include <functional>
#include <utility>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "dataprep/widgets/csvimportdialog.h"
#include "dataprep/widgets/dataprepdialogs.h"
#include "exchange/dataexchange.h"
#include "exchange/widgets/desktoplinkport.h"
#include "export/cexport.h"
#include "export/dataexport.h"
#include "export/onnx/onnxexport.h"
#include "files/editor.h"
#include "files/filecommands.h"
#include "files/netcommands.h"
#include "files/patterncommands.h"
#include "files/setup.h"
#include "files/weightcommands.h"
#include "files/widgets/setupdialog.h"
#include "gui/clickablelabel.h"
#include "gui/formbinder.h"
#include "gui/printing.h"
#include "gui/qtuiport.h"
#include "gui/updown.h"
#include "session/commandstate.h"
#include "session/engineapi.h"
#include "session/workbench.h"
#include "shell/corvelwindow.h"
#include "shell/helpwindow.h"
#include "shell/mdineuralframe.h"
#include "shell/plotwindows.h"
#include "shell/windowregistry.h"
#include "training/analysis.h"
#include "training/construction.h"
#include "training/evaluation.h"
#include "training/parameters.h"
#include "training/report.h"
#include "training/suggestion.h"
#include "training/training.h"
#include "training/widgets/learnparform.h"
#include "training/widgets/reportwindow.h"

// The program's icon, for every window without one of its own; an icon set before the program
// starts takes its place. (Outside any namespace: the resource's initialiser is declared here.)
static void setProgramIcon()
{
    Q_INIT_RESOURCE(axona);
    if (QGuiApplication::windowIcon().isNull()) {
        QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/axona.svg")));
    }
}

// The frame's starting size: 1100 x 760 where the screen has room, less where it has not.
static MdiNeuralFrame *makeFrame()
{
    setProgramIcon();
    auto *frame = new MdiNeuralFrame;
    if (const QScreen *screen = frame->screen()) {
        frame->resize(QSize(1100, 760).boundedTo(screen->availableGeometry().size()));
    }
    return frame;
}

AxonaApplication::AxonaApplication()
    : m_frame(makeFrame())
    , m_engine(std::make_unique<EngineApi>())
{
    m_frame->centreOnScreen();
    m_ui = std::make_unique<QtUiPort>(m_frame.get(), m_frame->statusPanel());
    m_workbench = std::make_unique<Workbench>(*m_ui, *m_engine, *this);

    m_corvel = new CorvelWindow;
    QMdiSubWindow *sub = m_frame->addChildWindow(m_corvel);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The main network window's closing ends the program; leave its close event first.
    connect(m_corvel, &CorvelWindow::closed, m_frame.get(),
            [this] { QTimer::singleShot(0, m_frame.get(), &QWidget::close); });
    m_corvel->setCloseGuard([this] { return confirmClose(); });

    m_binder = std::make_unique<FormBinder>(m_workbench->form, *m_corvel);
    // One printer for the session: the main window's and the plot windows' prints and the page
    // setup share it.
    m_printing = new WindowPrinting(*m_corvel, *m_ui, m_frame.get(), this);
    registerWindows();

    connectNetSize();
    connectParameters();
    connectMenus();
    connectFiles();
    connectTraining();
    connectReports();
    connectExchange();
}

AxonaApplication::~AxonaApplication()
{
    // The windows go first: closing them still reaches the network (the report window tells
    // the core it closed), which must outlive them.
    m_frame.reset();
    m_exchange.reset();
    m_workbench->links = nullptr;
    m_links.reset();
}

void AxonaApplication::start(const QString &netFile)
{
    m_frame->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_corvel->parentWidget())) {
        sub->showMaximized();
    }
    m_ui->yield();
    // Now that the window manager has framed it, the frame fits its screen whole.
    m_frame->fitToScreen();
    m_frame->setWindowTitle(QStringLiteral("Axona"));
    m_corvel->action(QStringLiteral("MNU_FILE_SaveWeightAs"))->setEnabled(false);
    resetModel(*m_workbench);
    // A fixed seed of the Setup holds from the first random draw, the default network's.
    if (!m_workbench->settings.fixedSeed().isEmpty()) {
        applyFixedSeed(*m_workbench);
    }
    buildNetwork(*m_workbench);
    m_binder->applyAll();
    // The settings file is read again here, as the program does after the defaults; the
    // Workbench read it once already when it was made.
    readEditorSetting(*m_workbench);
    if (!netFile.isEmpty()) {
        loadNet(*m_workbench, netFile);
    }
}

void AxonaApplication::registerWindows()
{
    Workbench &wb = *m_workbench;
    m_windows = std::make_unique<WindowRegistry>(*m_frame, *m_corvel, *m_ui);
    m_windows->add(QStringLiteral("CPL"), [this] { return m_corvel; });
    m_windows->add(
            QStringLiteral("REPORT"), [&wb] { return new ReportWindow(wb); },
            [&wb] { return runNet(wb, false); });
    registerPlotWindows(*m_windows, wb, m_printing->printer(), *m_corvel);
}

void AxonaApplication::setFrameCaption(const QString &caption)
{
    m_frame->setWindowTitle(caption.isEmpty() ? QStringLiteral("Axona") : caption);
}

bool AxonaApplication::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void AxonaApplication::closeSatelliteWindows()
{
    m_windows->closeSatellites();
}

void AxonaApplication::connectNetSize()
{
    Ui::CorvelWindow *ui = m_corvel->ui();
    Workbench &wb = *m_workbench;
    connect(ui->SPN_Layers, &UpDown::upClicked, this, [&wb] { addLayer(wb); });
    connect(ui->SPN_Layers, &UpDown::downClicked, this, [&wb] { removeLayer(wb); });
    connect(ui->CMB_LayerSize, qOverload<int>(&QComboBox::activated), this,
            [&wb](int index) { selectLayer(wb, index); });
    // Typing only: a selection also changes the edit text, but asks nothing.
    connect(ui->CMB_LayerSize->lineEdit(), &QLineEdit::textEdited, this,
            [&wb](const QString &text) { layerTextEdited(wb, text); });
    connect(ui->BTN_Change, &QPushButton::clicked, this,
            [&wb, ui] { changeLayerSize(wb, ui->CMB_LayerSize->currentText()); });
    connect(ui->CMB_idxfn, qOverload<int>(&QComboBox::activated), this,
            [&wb](int position) { chooseNeuronFunction(wb, position); });
    connect(ui->BTN_Randomize, &QPushButton::clicked, this, [&wb] { randomizeWeights(wb); });
    auto askNewNet = [&wb] { newNetCommand(wb); };
    connect(m_corvel->action(QStringLiteral("MNU_FILE_NewNet")), &QAction::triggered, this,
            askNewNet);
    connect(m_corvel->toolAction(QStringLiteral("new")), &QAction::triggered, this, askNewNet);
}

void AxonaApplication::connectParameters()
{
    Ui::CorvelWindow *ui = m_corvel->ui();
    Workbench &wb = *m_workbench;
    connect(ui->TXT_Title, &QLineEdit::textEdited, this, [&wb](const QString &text) {
        wb.model.NetTitle = text;
        wb.form.setText(QStringLiteral("TXT_Title"), text);
    });
    for (QLineEdit *box :
         {ui->TXT_Eta, ui->TXT_Alpha, ui->TXT_Pnoise, ui->TXT_Wnoise, ui->TXT_Temp, ui->TXT_epocs,
          ui->TXT_PatClip, ui->TXT_TargetErr, ui->TXT_minW, ui->TXT_maxW}) {
        connect(box, &QLineEdit::textEdited, this, [&wb, box](const QString &text) {
            parameterTextChanged(wb, box->objectName(), text);
        });
    }
    // Typing keeps the text; the length is checked once the edit is finished (and before a run).
    connect(ui->TXT_EpocLen, &QLineEdit::textEdited, this, [&wb](const QString &text) {
        parameterTextChanged(wb, QStringLiteral("TXT_EpocLen"), text);
    });
    connect(ui->TXT_EpocLen, &QLineEdit::editingFinished, this,
            [&wb, ui] { epochLengthChanged(wb, ui->TXT_EpocLen->text()); });
    connect(ui->CHK_RND, &QCheckBox::clicked, this,
            [&wb](bool checked) { randomSamplingClicked(wb, checked); });
    connect(ui->CHK_KeepBest, &QCheckBox::clicked, this,
            [&wb](bool checked) { keepBestClicked(wb, checked); });
    connect(ui->BTN_Suggest, &QPushButton::clicked, this, [&wb] { applySuggestion(wb); });
    const std::array<UpDown *, 4> spinners {ui->UpDown1, ui->UpDown2, ui->UpDown3, ui->UpDown4};
    for (int k = 0; k < 4; ++k) {
        const auto click = [this, &wb, k](bool up) {
            const QString box = spin(wb, k + 1, up);
            if (auto *edit = m_corvel->findChild<QLineEdit *>(box)) {
                edit->setFocus();
            }
        };
        connect(spinners[static_cast<std::size_t>(k)], &UpDown::upClicked, this,
                [click] { click(true); });
        connect(spinners[static_cast<std::size_t>(k)], &UpDown::downClicked, this,
                [click] { click(false); });
    }
    connect(ui->CHK_AutoLearn, &QCheckBox::clicked, this, [this, &wb](bool checked) {
        if (!checked) {
            autoLearnUnchecked(wb);
            return;
        }
        runAutoLearnDialog(wb, m_corvel);
    });
}

void AxonaApplication::connectTraining()
{
    Workbench &wb = *m_workbench;
    connect(m_corvel->action(QStringLiteral("MNU_DATA_Norm")), &QAction::triggered, this,
            [this, &wb] { runNormalizeDialog(wb, *m_ui, m_corvel); });
    connect(m_corvel->action(QStringLiteral("MNU_DATA_CreateTest")), &QAction::triggered, this,
            [this, &wb] { runCreateTestDialog(wb, *m_ui, m_corvel); });
    connect(m_corvel->action(QStringLiteral("MNU_DATA_ImportCsv")), &QAction::triggered, this,
            [this, &wb] { runCsvImportDialog(wb, m_corvel); });
    connect(m_corvel->toolAction(QStringLiteral("train")), &QAction::triggered, this,
            &AxonaApplication::train);
    connect(m_corvel->toolAction(QStringLiteral("stop")), &QAction::triggered, this,
            [&wb] { stopTraining(wb); });
}

void AxonaApplication::train()
{
    Workbench &wb = *m_workbench;
    if (wb.model.Training) {
        return; // a run is active; its loop is further down the stack
    }
    trainNet(wb);
    if (m_closeAfterTraining) {
        m_closeAfterTraining = false;
        QTimer::singleShot(0, m_corvel, &QWidget::close);
    }
}

void AxonaApplication::connectReports()
{
    Workbench &wb = *m_workbench;
    // A new report comes up in front, whichever command made it.
    connect(&wb.events, &WorkbenchEvents::reportChanged, this,
            [this] { m_windows->activate(QStringLiteral("REPORT")); });
    const auto run = [&wb](bool test) { runNet(wb, test); };
    connect(m_corvel->toolAction(QStringLiteral("runnet")), &QAction::triggered, this,
            [run] { run(false); });
    connect(m_corvel->toolAction(QStringLiteral("runtest")), &QAction::triggered, this,
            [run] { run(true); });
    connect(m_corvel->action(QStringLiteral("MNU_VIEWWeights")), &QAction::triggered, this,
            [&wb] { showWeights(wb); });
    connect(m_corvel->action(QStringLiteral("MNU_VIEWDeriv")), &QAction::triggered, this,
            [&wb] { showWeightDelta(wb); });
    connect(m_corvel->action(QStringLiteral("MNU_VIEWSens")), &QAction::triggered, this,
            [&wb] { showSensitivity(wb); });
    connect(m_corvel->action(QStringLiteral("MNU_VIEWEval")), &QAction::triggered, this,
            [&wb] { showEvaluation(wb); });
}

void AxonaApplication::connectExchange()
{
    m_links = std::make_unique<DesktopLinkPort>(m_frame.get());
    m_exchange = std::make_unique<DataExchange>(*m_workbench, *m_links);
    DataExchange *exchange = m_exchange.get();
    const std::array<std::pair<const char *, std::function<void()>>, 5> commands {{
            {"MNU_EDIT_PastePatLinked", [exchange] { exchange->paste(1); }},
            {"MNU_EDIT_PasteTSTLinked", [exchange] { exchange->paste(2); }},
            {"MNU_EDIT_CopyOutsLinked", [exchange] { exchange->copyOutputs(false); }},
            {"MNU_EDIT_CopyTSTLinked", [exchange] { exchange->copyOutputs(true); }},
            {"MNU_EDIT_Update", [exchange] { exchange->updateClient(); }},
    }};
    for (const auto &[name, command] : commands) {
        connect(m_corvel->action(QLatin1String(name)), &QAction::triggered, this, command);
    }
}

void AxonaApplication::connectMenus()
{
    Workbench &wb = *m_workbench;
    for (QMenu *menu : {m_corvel->ui()->MNU_FILE, m_corvel->ui()->MNU_EDIT,
                        m_corvel->ui()->MNU_DATA, m_corvel->ui()->MNU_VIEW}) {
        connect(menu, &QMenu::aboutToShow, this,
                [&wb, menu] { updateMenuOnOpen(wb, menu->objectName()); });
    }
    connect(m_corvel->action(QStringLiteral("MNU_FILE_Print")), &QAction::triggered, m_printing,
            &WindowPrinting::print);
    connect(m_corvel->action(QStringLiteral("MNU_FILE_PrintSetup")), &QAction::triggered,
            m_printing, &WindowPrinting::pageSetup);
    connect(m_corvel->action(QStringLiteral("MNU_HELP_Help")), &QAction::triggered, this,
            [this] { showHelp(m_frame.get()); });
}

bool AxonaApplication::confirmClose()
{
    Workbench &wb = *m_workbench;
    if (wb.model.Training) {
        // Closing under a running training loop would pull the network from under it: stop the
        // run first and close once it has returned.
        stopTraining(wb);
        m_closeAfterTraining = true;
        return false;
    }
    return mayClose(wb);
}

void AxonaApplication::connectFiles()
{
    Workbench &wb = *m_workbench;
    Ui::CorvelWindow *ui = m_corvel->ui();
    const auto bind = [this](const char *name, auto command) {
        connect(m_corvel->action(QLatin1String(name)), &QAction::triggered, this, command);
    };
    const auto openNet = [&wb] { openNetCommand(wb); };
    const auto saveNetNow = [&wb] { saveNetCommand(wb); };
    const auto openPats = [&wb] { openPatterns(wb, true); };
    const auto openTests = [&wb] { openTest(wb, true); };
    const auto openWeights = [&wb] { loadWeights(wb, true); };
    bind("MNU_FILE_OpenNet", openNet);
    connect(m_corvel->toolAction(QStringLiteral("open")), &QAction::triggered, this, openNet);
    bind("MNU_FILE_SaveNet", saveNetNow);
    connect(m_corvel->toolAction(QStringLiteral("save")), &QAction::triggered, this, saveNetNow);
    bind("MNU_FILE_SaveNetAs", [&wb] { saveNet(wb, true); });
    bind("MNU_FILE_OpenPat", openPats);
    bind("MNU_FILE_OpenTest", openTests);
    bind("MNU_FILE_OpenWeight", openWeights);
    connect(ui->LBL_DataFile, &ClickableLabel::clicked, this, openPats);
    connect(ui->LBL_TestFile, &ClickableLabel::clicked, this, openTests);
    connect(ui->LBL_WeightFile, &ClickableLabel::clicked, this, openWeights);
    bind("MNU_FILE_SaveWeight", [&wb] { saveWeightsCommand(wb); });
    bind("MNU_FILE_SaveWeightAs", [&wb] { saveWeights(wb, true); });
    bind("MNU_FILE_SavePatsAs", [&wb] { savePatsAs(wb); });
    bind("MNU_FILE_SaveTstPats", [&wb] { saveTestPatsAs(wb); });
    bind("MNU_FILE_ExportC", [&wb] { exportC(wb); });
    bind("MNU_FILE_ExportOnnx", [&wb] { exportOnnx(wb); });
    bind("MNU_FILE_ExportData", [&wb] { exportDataCsvCommand(wb); });
    connect(ui->BTN_EditPat, &QPushButton::clicked, this, [&wb] { editPatternFile(wb); });
    connect(ui->BTN_EditTst, &QPushButton::clicked, this, [&wb] { editTestFile(wb); });
    connect(ui->BTN_EditWgt, &QPushButton::clicked, this, [&wb] { editWeightFile(wb); });
    bind("MNU_SETUP", [this, &wb] { runSetupDialog(wb, m_frame.get()); });
}

QList<WindowLayout> AxonaApplication::writeDesktop()
{
    return m_windows->save();
}

void AxonaApplication::readDesktop(const QList<WindowLayout> &layout)
{
    m_windows->restore(layout);
}
