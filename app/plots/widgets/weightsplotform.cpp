#include "plots/widgets/weightsplotform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/formhelpers.h"
#include "plots/weighthistogram.h"
#include "plots/widgets/chartcontrol.h"
#include "session/workbench.h"

WeightsPlotForm::WeightsPlotForm(Workbench &wb, QPrinter &printer, QWidget *parent)
    : QMainWindow(parent)
    , m_wb(wb)
    , m_ui(std::make_unique<Ui::WeightsPlotForm>())
    , m_printer(printer)
{
    Ui::WeightsPlotForm &ui = *m_ui;
    QVBoxLayout *layout = setUpPlotWindow(this, "FRM_Plot", QStringLiteral("Weights Plot"),
                                          QStringLiteral("PLOTW"), QStringLiteral("plotweights"));
    QWidget *central = centralWidget();
    ui.GraphW = new ChartControl(central);
    ui.GraphW->setObjectName(QStringLiteral("GraphW"));
    ui.GraphW->setToolTip(QStringLiteral("Double Click to update"));
    layout->addWidget(ui.GraphW, 1);
    auto *controls = new QHBoxLayout;
    ui.Updinter = Form::edit(central, "Updinter", QString(),
                             QStringLiteral("Change plot update interval"));
    ui.Updinter->setMaximumWidth(48);
    controls->addWidget(Form::caption(central, QStringLiteral("Update Interval:")));
    controls->addWidget(ui.Updinter);
    controls->addStretch();
    ui.Command1 = Form::button(central, "Command1", QStringLiteral("Hide"),
                               QStringLiteral("Hide the window; the Plot menu shows it again"));
    controls->addWidget(ui.Command1);
    layout->addLayout(controls);

    static_cast<PlotWindowMenus &>(ui) = createPlotWindowMenus(this);
    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(ui.Timer1, &QTimer::timeout, this, [this] {
        if (!m_wb.model.StopFlag) {
            plotWeightDistribution();
        }
    });
    bindRefreshInterval(ui.Updinter, ui.Timer1, m_wb.settings.wPlotTime(),
                        [this](int seconds) { m_wb.settings.setWPlotTime(seconds); });
    connect(ui.GraphW, &ChartControl::doubleClicked, this,
            &WeightsPlotForm::plotWeightDistribution);
    connect(ui.Command1, &QPushButton::clicked, this, [this] { hideChildWindow(this); });
    connect(ui.MNU_EDIT_Copy, &QAction::triggered, ui.GraphW, &ChartControl::copyToClipboard);
    connect(ui.MNU_FILE_Print, &QAction::triggered, this,
            [this] { reportPrintOutcome(m_ui->GraphW->print(m_printer), m_printer, m_wb.ui); });
    resize(560, 420);
}

WeightsPlotForm::~WeightsPlotForm()
{
    // A focused interval box finishes its edit as the window goes, which would store into a
    // form already taken apart.
    m_ui->Updinter->disconnect();
}

QList<QAction *> WeightsPlotForm::menuBarActions() const
{
    return m_ui->menuBarActions();
}

void WeightsPlotForm::plotWeightDistribution()
{
    m_ui->GraphW->setChartData(weightsChart(m_wb.model));
    m_ui->GraphW->draw();
}
