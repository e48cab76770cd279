#pragma once

#include <memory>

#include <QDialog>

#include "plots/chartdata.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class ChartControl;

namespace Ui {
struct PlotSettingsDialog
{
    QLineEdit *Title = nullptr;
    QLineEdit *Xlabel = nullptr;
    QLineEdit *Ylabel = nullptr;
    QCheckBox *Xgrid = nullptr;
    QCheckBox *Ygrid = nullptr;
    QCheckBox *CHK_Colors = nullptr;
    QComboBox *CMB_GraphType = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};
} // namespace Ui

// FRM_PlotSet, "Plot Settings": the titles, grid, colour and graph type of one plot. It shows the
// values given and hands back what the user chose; the caller stores them on OK.
class PlotSettingsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlotSettingsDialog)

public:
    explicit PlotSettingsDialog(const PlotSettingsValues &values, QWidget *parent = nullptr);
    ~PlotSettingsDialog() override;

    Ui::PlotSettingsDialog *ui() const { return m_ui.get(); }

    PlotSettingsValues values() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::PlotSettingsDialog> m_ui;
};

// Opens the dialog modally on the texts the chart shows and the record's other settings; OK
// stores the choice into the record and returns true, Cancel changes nothing.
bool editPlotSettings(GraphSetting &setting, const ChartControl &chart, QWidget *parent);
