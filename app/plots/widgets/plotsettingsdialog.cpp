#include "plots/widgets/plotsettingsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "gui/formhelpers.h"
#include "plots/widgets/chartcontrol.h"

PlotSettingsDialog::PlotSettingsDialog(const PlotSettingsValues &values, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::PlotSettingsDialog>())
{
    Ui::PlotSettingsDialog &ui = *m_ui;
    setObjectName(QStringLiteral("FRM_PlotSet"));
    setWindowTitle(QStringLiteral("Plot Settings"));

    auto *layout = new QVBoxLayout(this);
    auto *texts = new QFormLayout;
    ui.Title = Form::edit(this, "Title", values.title);
    ui.Xlabel = Form::edit(this, "Xlabel", values.xLabel);
    ui.Ylabel = Form::edit(this, "Ylabel", values.yLabel);
    for (QLineEdit *edit : {ui.Title, ui.Xlabel, ui.Ylabel}) {
        edit->setMinimumWidth(240);
    }
    texts->addRow(QStringLiteral("Title:"), ui.Title);
    texts->addRow(QStringLiteral("X-Label:"), ui.Xlabel);
    texts->addRow(QStringLiteral("Y-Lable:"), ui.Ylabel);
    ui.CMB_GraphType = new QComboBox(this);
    ui.CMB_GraphType->setObjectName(QStringLiteral("CMB_GraphType"));
    ui.CMB_GraphType->addItems(graphTypeEntries());
    ui.CMB_GraphType->setCurrentIndex(values.typeEntry);
    texts->addRow(QStringLiteral("Type:"), ui.CMB_GraphType);
    layout->addLayout(texts);

    auto *checks = new QHBoxLayout;
    ui.Xgrid = Form::check(this, "Xgrid", QStringLiteral("X-Grid"));
    ui.Ygrid = Form::check(this, "Ygrid", QStringLiteral("Y-Grid"));
    ui.CHK_Colors = Form::check(this, "CHK_Colors", QStringLiteral("Color for each curve"));
    ui.Xgrid->setChecked(values.xGrid);
    ui.Ygrid->setChecked(values.yGrid);
    ui.CHK_Colors->setChecked(values.colorEach);
    checks->addWidget(ui.Xgrid);
    checks->addWidget(ui.Ygrid);
    checks->addWidget(ui.CHK_Colors);
    checks->addStretch();
    layout->addLayout(checks);

    auto *buttons = new QHBoxLayout;
    ui.Command1 = Form::button(this, "Command1", QStringLiteral("OK"));
    ui.Command2 = Form::button(this, "Command2", QStringLiteral("&Cancel"));
    ui.Command1->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ui.Command1);
    buttons->addWidget(ui.Command2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ui.Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.Command2, &QPushButton::clicked, this, &QDialog::reject);
}

PlotSettingsDialog::~PlotSettingsDialog() = default;

PlotSettingsValues PlotSettingsDialog::values() const
{
    const Ui::PlotSettingsDialog &ui = *m_ui;
    PlotSettingsValues v;
    v.title = ui.Title->text();
    v.xLabel = ui.Xlabel->text();
    v.yLabel = ui.Ylabel->text();
    v.xGrid = ui.Xgrid->isChecked();
    v.yGrid = ui.Ygrid->isChecked();
    v.colorEach = ui.CHK_Colors->isChecked();
    v.typeEntry = ui.CMB_GraphType->currentIndex();
    return v;
}

void PlotSettingsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *s = screen()) {
        move(s->availableGeometry().center() - rect().center());
    }
}

bool editPlotSettings(GraphSetting &setting, const ChartControl &chart, QWidget *parent)
{
    PlotSettingsDialog dialog(
            plotSettingsOnOpen(setting, chart.title(), chart.xTitle(), chart.yTitle()), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    applyPlotSettings(setting, dialog.values());
    return true;
}
