#include "plots/widgets/plotoutform.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/formhelpers.h"
#include "gui/updown.h"
#include "model/numberformat.h"
#include "plots/widgets/chartcontrol.h"
#include "plots/widgets/plotsettingsdialog.h"
#include "session/workbench.h"
#include "training/analysis.h"

namespace {

UpDown *spinner(QWidget *parent, const char *name, const QString &hint)
{
    auto *spin = new UpDown(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setToolTip(hint);
    return spin;
}

int boxNumber(const QLineEdit *box)
{
    return int(std::clamp(roundHalfEven(leadingNumber(box->text())), -32768.0, 32767.0));
}

} // namespace

PlotOutForm::PlotOutForm(Workbench &wb, QPrinter &printer, QWidget *parent)
    : QMainWindow(parent)
    , m_wb(wb)
    , m_ui(std::make_unique<Ui::PlotOutForm>())
    , m_printer(printer)
{
    Ui::PlotOutForm &ui = *m_ui;
    QVBoxLayout *layout = setUpPlotWindow(this, "FRM_PlotOut", QStringLiteral("Plot Outputs"),
                                          QStringLiteral("PLOTOUT"), QStringLiteral("plotnet"));
    QWidget *central = centralWidget();
    auto *controls = new QHBoxLayout;

    ui.CMB_PlotType = new QComboBox(central);
    ui.CMB_PlotType->setObjectName(QStringLiteral("CMB_PlotType"));
    ui.CMB_PlotType->setToolTip(QStringLiteral("What to plot"));
    controls->addWidget(Form::caption(central, QStringLiteral("Plot Type:")));
    controls->addWidget(ui.CMB_PlotType);

    ui.FRM_Outputs = Form::frame(central, "FRM_Outputs", QStringLiteral("Select Outputs"));
    {
        auto *h = new QHBoxLayout(ui.FRM_Outputs);
        h->setContentsMargins(6, 2, 6, 2);
        ui.TXT_From = Form::edit(ui.FRM_Outputs, "TXT_From", QStringLiteral("1"),
                                 QStringLiteral("First output to plot"));
        ui.UpDown3 = spinner(ui.FRM_Outputs, "UpDown3", QStringLiteral("First output to plot"));
        ui.TXT_To = Form::edit(ui.FRM_Outputs, "TXT_To", QStringLiteral("1"),
                               QStringLiteral("Last output to plot"));
        ui.UpDown2 = spinner(ui.FRM_Outputs, "UpDown2", QStringLiteral("Last output to plot"));
        for (QLineEdit *box : {ui.TXT_From, ui.TXT_To}) {
            box->setMaximumWidth(48);
        }
        h->addWidget(Form::caption(ui.FRM_Outputs, QStringLiteral("From:")));
        h->addWidget(ui.TXT_From);
        h->addWidget(ui.UpDown3);
        h->addWidget(Form::caption(ui.FRM_Outputs, QStringLiteral("To:")));
        h->addWidget(ui.TXT_To);
        h->addWidget(ui.UpDown2);
    }
    controls->addWidget(ui.FRM_Outputs);

    ui.PNL_Scontrols = new QFrame(central);
    ui.PNL_Scontrols->setObjectName(QStringLiteral("PNL_Scontrols"));
    ui.PNL_Scontrols->setFrameShape(QFrame::StyledPanel);
    {
        auto *h = new QHBoxLayout(ui.PNL_Scontrols);
        h->setContentsMargins(6, 2, 6, 2);
        ui.PNL_Sens = Form::value(ui.PNL_Scontrols, "PNL_Sens", QString::number(10),
                                  QStringLiteral("Relative change of each input, in percent"));
        ui.PNL_Sens->setAlignment(Qt::AlignCenter);
        ui.PNL_Sens->setMinimumWidth(40);
        ui.UpDown1 = spinner(ui.PNL_Scontrols, "UpDown1", QStringLiteral("Change the step by 1%"));
        h->addWidget(Form::caption(ui.PNL_Scontrols, QStringLiteral("Sensitivity:")));
        h->addWidget(ui.PNL_Sens);
        h->addWidget(ui.UpDown1);
    }
    controls->addWidget(ui.PNL_Scontrols);
    controls->addStretch();

    ui.UpdInter = Form::edit(central, "UpdInter", QString(),
                             QStringLiteral("Change plot update interval"));
    ui.UpdInter->setMaximumWidth(48);
    controls->addWidget(Form::caption(central, QStringLiteral("Update Interval:")));
    controls->addWidget(ui.UpdInter);
    ui.Command1 = Form::button(central, "Command1", QStringLiteral("Update"),
                               QStringLiteral("Draw the plot again"));
    controls->addWidget(ui.Command1);
    layout->addLayout(controls);

    ui.Graph = new ChartControl(central);
    ui.Graph->setObjectName(QStringLiteral("Graph"));
    ui.Graph->setToolTip(
            QStringLiteral("Double Click to update, Right Click to change plot settings"));
    layout->addWidget(ui.Graph, 1);

    static_cast<PlotWindowMenus &>(ui) = createPlotWindowMenus(this);
    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));

    connect(ui.Timer1, &QTimer::timeout, this, [this] {
        if (!m_wb.model.StopFlag) {
            redrawPlot();
        }
    });
    bindRefreshInterval(ui.UpdInter, ui.Timer1, m_wb.settings.outPlotTime(),
                        [this](int seconds) { m_wb.settings.setOutPlotTime(seconds); });
    connect(ui.Command1, &QPushButton::clicked, this, &PlotOutForm::redrawPlot);
    connect(ui.Graph, &ChartControl::doubleClicked, this, &PlotOutForm::redrawPlot);
    connect(ui.Graph, &ChartControl::rightClicked, this, &PlotOutForm::openSettings);
    connect(ui.CMB_PlotType, &QComboBox::activated, this, &PlotOutForm::redrawPlot);
    for (QLineEdit *box : {ui.TXT_From, ui.TXT_To}) {
        connect(box, &QLineEdit::editingFinished, this, &PlotOutForm::redrawPlot);
    }
    const auto spinRange = [this](bool spinFrom, bool up) {
        readControls();
        spinOutputRange(m_state, spinFrom, up, m_wb.model.numOutputs());
        showState();
        redrawPlot();
    };
    connect(ui.UpDown3, &UpDown::upClicked, this, [spinRange] { spinRange(true, true); });
    connect(ui.UpDown3, &UpDown::downClicked, this, [spinRange] { spinRange(true, false); });
    connect(ui.UpDown2, &UpDown::upClicked, this, [spinRange] { spinRange(false, true); });
    connect(ui.UpDown2, &UpDown::downClicked, this, [spinRange] { spinRange(false, false); });
    const auto spinSens = [this](bool up) {
        m_state.sensPercent = spunSensStep(m_state.sensPercent, up);
        showState();
        redrawPlot();
    };
    connect(ui.UpDown1, &UpDown::upClicked, this, [spinSens] { spinSens(true); });
    connect(ui.UpDown1, &UpDown::downClicked, this, [spinSens] { spinSens(false); });
    connect(ui.MNU_EDIT_Copy, &QAction::triggered, ui.Graph, &ChartControl::copyToClipboard);
    connect(ui.MNU_FILE_Print, &QAction::triggered, this, &PlotOutForm::print);

    connect(&wb.events, &WorkbenchEvents::dataChanged, this, &PlotOutForm::updatePlotTypes);
    updatePlotTypes();
    showState();
    resize(720, 480);
}

PlotOutForm::~PlotOutForm()
{
    // A focused interval box finishes its edit as the window goes, which would store into a
    // form already taken apart.
    m_ui->UpdInter->disconnect();
}

QList<QAction *> PlotOutForm::menuBarActions() const
{
    return m_ui->menuBarActions();
}

void PlotOutForm::readControls()
{
    m_state.kind = PlotKind(std::max(m_ui->CMB_PlotType->currentIndex(), 0));
    m_state.from = boxNumber(m_ui->TXT_From);
    m_state.to = boxNumber(m_ui->TXT_To);
}

void PlotOutForm::showState()
{
    Ui::PlotOutForm &ui = *m_ui;
    ui.TXT_From->setText(QString::number(m_state.from));
    ui.TXT_To->setText(QString::number(m_state.to));
    ui.PNL_Sens->setText(QString::number(m_state.sensPercent));
    ui.FRM_Outputs->setVisible(m_state.outputsVisible);
    ui.PNL_Scontrols->setVisible(m_state.sensVisible);
}

void PlotOutForm::redrawPlot()
{
    readControls();
    const std::optional<ChartData> chart = ::redrawPlot(m_wb, m_state);
    showState();
    if (chart) {
        m_ui->Graph->setChartData(*chart);
        m_ui->Graph->draw();
    }
}

void PlotOutForm::showPlot(PlotKind kind)
{
    updatePlotTypes();
    if (int(kind) < m_ui->CMB_PlotType->count()) {
        m_ui->CMB_PlotType->setCurrentIndex(int(kind));
    }
    redrawPlot();
}

void PlotOutForm::updatePlotTypes()
{
    QComboBox *list = m_ui->CMB_PlotType;
    const QStringList entries = plotTypeEntries(m_wb.model.HasTest);
    if (list->count() == entries.size()) {
        return;
    }
    const int chosen = list->currentIndex();
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(chosen >= 0 && chosen < entries.size() ? chosen : 0);
}

void PlotOutForm::openSettings()
{
    GraphSetting &setting = m_wb.model.Graph[std::size_t(m_state.currentGraph)];
    if (editPlotSettings(setting, *m_ui->Graph, this)) {
        redrawPlot();
    }
}

void PlotOutForm::print()
{
    reportPrintOutcome(m_ui->Graph->print(m_printer), m_printer, m_wb.ui);
}
