#include "shell/axonaapp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "dataprep/widgets/dataprepdialogs.h"
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
#include "model/netfile.h"
#include "model/patternfile.h"
#include "model/settings.h"
#include "model/weightfile.h"
#include "model/windowlayout.h"
#include "session/commandstate.h"
#include "session/engineapi.h"
#include "session/workbench.h"
#include "shell/corvelwindow.h"
#include "shell/helpwindow.h"
#include "shell/mdineuralframe.h"
#include "training/analysis.h"
#include "training/construction.h"
#include "training/parameters.h"
#include "training/report.h"
#include "training/training.h"
#include "training/widgets/learnparform.h"
#include "training/widgets/reportwindow.h"

AxonaApplication::AxonaApplication()
    : m_frame(std::make_unique<MdiNeuralFrame>())
    , m_engine(std::make_unique<EngineApi>())
{
    if (const QScreen *screen = m_frame->screen()) {
        const QSize available = screen->availableGeometry().size();
        m_frame->resize(std::min(1100, available.width()), std::min(760, available.height()));
    }
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

    connectNetSize();
    connectParameters();
    connectMenus();
    connectFiles();
    connectTraining();
    connectReports();
}

AxonaApplication::~AxonaApplication()
{
    // The windows go first: closing them still reaches the network (the report window tells
    // the core it closed), which must outlive them.
    m_frame.reset();
}

void AxonaApplication::start(const QString &netFile)
{
    m_frame->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(m_corvel->parentWidget())) {
        sub->showMaximized();
    }
    m_ui->yield();
    m_frame->setWindowTitle(QStringLiteral("Axona"));
    m_corvel->action(QStringLiteral("MNU_FILE_SaveWeightAs"))->setEnabled(false);
    resetModel(*m_workbench);
    buildNetwork(*m_workbench);
    m_binder->applyAll();
    // The settings file is read again here, as the program does after the defaults; the
    // Workbench read it once already when it was made.
    readEditorSetting(*m_workbench);
    if (!netFile.isEmpty()) {
        loadNet(*m_workbench, netFile);
    }
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
    const auto windows = m_frame->mdiArea()->subWindowList();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->widget() != m_corvel) {
            (*it)->close();
        }
    }
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
    auto askNewNet = [&wb] { newNet(wb); };
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
    connect(ui->TXT_EpocLen, &QLineEdit::textEdited, this,
            [&wb](const QString &text) { epochLengthChanged(wb, text); });
    connect(ui->CHK_RND, &QCheckBox::clicked, this,
            [&wb](bool checked) { randomSamplingClicked(wb, checked); });
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
        LearnParForm dialog(m_corvel);
        const AutoLearnForm form = AutoLearnForm::fill(wb.model);
        dialog.ui()->TXT_EtaInc->setText(form.TXT_EtaInc);
        dialog.ui()->TXT_EtaDec->setText(form.TXT_EtaDec);
        if (dialog.exec() == QDialog::Accepted) {
            autoLearnAccepted(wb,
                              {dialog.ui()->TXT_EtaInc->text(), dialog.ui()->TXT_EtaDec->text()});
        } else {
            autoLearnCancelled(wb);
        }
    });
}

void AxonaApplication::connectTraining()
{
    Workbench &wb = *m_workbench;
    connect(m_corvel->action(QStringLiteral("MNU_DATA_Norm")), &QAction::triggered, this,
            [this, &wb] { runNormalizeDialog(wb, *m_ui, m_corvel); });
    connect(m_corvel->action(QStringLiteral("MNU_DATA_CreateTest")), &QAction::triggered, this,
            [this, &wb] { runCreateTestDialog(wb, *m_ui, m_corvel); });
    connect(m_corvel->toolAction(QStringLiteral("train")), &QAction::triggered, this,
            &AxonaApplication::train);
    connect(m_corvel->toolAction(QStringLiteral("stop")), &QAction::triggered, this,
            [&wb] { stopTraining(wb); });
}

void AxonaApplication::train()
{
    Workbench &wb = *m_workbench;
    if (!wb.model.StopFlag) {
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
    connect(&wb.events, &WorkbenchEvents::reportChanged, this, &AxonaApplication::showReport);
    const auto run = [this, &wb](bool test) {
        if (runNet(wb, test) && m_report) {
            if (auto *sub = qobject_cast<QMdiSubWindow *>(m_report->parentWidget())) {
                m_frame->mdiArea()->setActiveSubWindow(sub);
            }
        }
    };
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
}

void AxonaApplication::showReport()
{
    Workbench &wb = *m_workbench;
    const ReportState &r = wb.report;
    if (!m_report) {
        m_report = new ReportWindow;
        m_report->setProperty("Tag", QStringLiteral("REPORT"));
        Ui::ReportWindow *ui = m_report->ui();
        connect(ui->UpDown1, &UpDown::upClicked, this, [&wb] { spinReportLayer(wb, true); });
        connect(ui->UpDown1, &UpDown::downClicked, this, [&wb] { spinReportLayer(wb, false); });
        connect(ui->UpDown2, &UpDown::upClicked, this, [&wb] { spinSensitivity(wb, true); });
        connect(ui->UpDown2, &UpDown::downClicked, this, [&wb] { spinSensitivity(wb, false); });
        connect(ui->Command1, &QPushButton::clicked, this, [&wb] { showSensitivity(wb); });
        connect(ui->MNU_FILE_SaveAs, &QAction::triggered, this, [&wb] { saveReport(wb); });
        connect(ui->MNU_FILE_SaveEdit, &QAction::triggered, this, [this, &wb] {
            saveAndEditReport(wb, [&wb](const QString &path) { startEditor(wb, path); });
        });
        QMdiSubWindow *sub = m_frame->addChildWindow(m_report);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_report, &QObject::destroyed, this, [this, &wb] {
            m_report = nullptr;
            closeReport(wb);
        });
        sub->show();
    }
    Ui::ReportWindow *ui = m_report->ui();
    m_report->setWindowTitle(r.caption);
    ui->PNL_Lcontrols->setVisible(r.layerPanelVisible);
    ui->PNL_Scontrols->setVisible(r.sensPanelVisible);
    ui->PNL_Layer->setText(QString::number(r.layer));
    ui->PNL_Sens->setText(QString::number(r.sensStep));
    ui->MNU_FILE_SaveEdit->setEnabled(r.saveEditEnabled);
    if (ui->TXT_Rep->toPlainText() != r.text) {
        ui->TXT_Rep->setPlainText(r.text);
    }
    m_report->show();
    m_report->raise();
}

void AxonaApplication::connectMenus()
{
    Workbench &wb = *m_workbench;
    for (const char *name : {"MNU_FILE", "MNU_EDIT", "MNU_DATA", "MNU_VIEW"}) {
        if (auto *menu = m_corvel->findChild<QMenu *>(QLatin1String(name))) {
            connect(menu, &QMenu::aboutToShow, this, [&wb, name] { updateMenuOnOpen(wb, name); });
        }
    }
    auto *printing = new WindowPrinting(*m_corvel, *m_ui, m_frame.get(), this);
    connect(m_corvel->action(QStringLiteral("MNU_FILE_Print")), &QAction::triggered, printing,
            &WindowPrinting::print);
    connect(m_corvel->action(QStringLiteral("MNU_FILE_PrintSetup")), &QAction::triggered, printing,
            &WindowPrinting::pageSetup);
    connect(m_corvel->action(QStringLiteral("MNU_HELP_Help")), &QAction::triggered, this,
            [this] { showHelp(m_frame.get()); });
}

bool AxonaApplication::confirmClose()
{
    Workbench &wb = *m_workbench;
    if (!wb.model.StopFlag) {
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
    const auto openNet = [&wb] { loadNet(wb); };
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
    connect(ui->BTN_EditPat, &QPushButton::clicked, this, [&wb] { editPatternFile(wb); });
    connect(ui->BTN_EditTst, &QPushButton::clicked, this, [&wb] { editTestFile(wb); });
    connect(ui->BTN_EditWgt, &QPushButton::clicked, this, [&wb] { editWeightFile(wb); });
    bind("MNU_SETUP", [this] { openSetup(); });
}

void AxonaApplication::openSetup()
{
    Workbench &wb = *m_workbench;
    SetupValues values = loadSetup(wb);
    SetupDialog dialog(m_frame.get());
    Ui::SetupDialog *ui = dialog.ui();
    ui->TXT_Editor->setText(values.editor);
    ui->CHK_LocalNames->setChecked(values.localNames);
    ui->OPT_TrainigMTD_1->setChecked(values.trainingMethod == 1);
    ui->OPT_TrainigMTD_2->setChecked(values.trainingMethod == 2);
    ui->TXT_GF->setText(values.growthFactor);
    ui->TXT_WCutOff->setText(values.weightCutOff);
    ui->TXT_WDecay->setText(values.weightDecay);
    for (QLineEdit *box : {ui->TXT_GF, ui->TXT_WCutOff, ui->TXT_WDecay}) {
        box->setEnabled(values.quickPropEnabled);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    values.editor = ui->TXT_Editor->text();
    values.localNames = ui->CHK_LocalNames->isChecked();
    if (ui->OPT_TrainigMTD_1->isChecked()) {
        chooseTrainingMethod(values, 1);
    } else if (ui->OPT_TrainigMTD_2->isChecked()) {
        chooseTrainingMethod(values, 2);
    }
    values.growthFactor = ui->TXT_GF->text();
    values.weightCutOff = ui->TXT_WCutOff->text();
    values.weightDecay = ui->TXT_WDecay->text();
    storeSetup(wb, values);
}

namespace {

int windowState(const QWidget *w)
{
    if (w->isMinimized()) {
        return 1;
    }
    return w->isMaximized() ? 2 : 0;
}

// Applies a recorded state; a window that is not in the normal state keeps the place the
// state gives it, as moving it would undo the state.
bool applyState(QWidget *w, int state)
{
    switch (state) {
    case 1:
        w->showMinimized();
        return false;
    case 2:
        w->showMaximized();
        return false;
    default:
        w->showNormal();
        return true;
    }
}

} // namespace

QList<WindowLayout> AxonaApplication::writeDesktop()
{
    QList<WindowLayout> layout;
    const auto record = [&layout](const QWidget *w, const QWidget *tagged) {
        const QString tag = tagged->property("Tag").toString();
        if (!tag.isEmpty()) {
            layout.append(layoutRecord(tag, windowState(w), QRect(w->pos(), w->size())));
        }
    };
    record(m_frame.get(), m_frame.get());
    for (const QMdiSubWindow *sub : m_frame->mdiArea()->subWindowList()) {
        if (sub->widget()) {
            record(sub, sub->widget());
        }
    }
    return layout;
}

void AxonaApplication::readDesktop(const QList<WindowLayout> &layout)
{
    Workbench &wb = *m_workbench;
    for (const WindowLayout &record : layout) {
        const QString tag = layoutTag(record.tag);
        bool place = true;
        if (tag == QLatin1String("CPL")) {
            place = applyState(m_corvel->parentWidget(), record.state);
        } else if (tag == QLatin1String("REPORT")) {
            if (runNet(wb, false) && m_report) {
                place = applyState(m_report->parentWidget(), record.state);
            }
        }
        // Plot and network-drawing windows ("PLOTW", "PLOTOUT", "NET_LAYOUT") do not exist
        // yet: like any tag that names no open window, their records place nothing.
        QWidget *window = nullptr;
        if (tag == layoutTag(m_frame->property("Tag").toString())) {
            window = m_frame.get();
        } else {
            for (QMdiSubWindow *sub : m_frame->mdiArea()->subWindowList()) {
                if (sub->widget() && layoutTag(sub->widget()->property("Tag").toString()) == tag) {
                    window = sub;
                    break;
                }
            }
        }
        if (window && place) {
            const QRect r = layoutPixels(record);
            window->move(r.topLeft());
            window->resize(r.size());
        }
        m_ui->yield();
    }
}
