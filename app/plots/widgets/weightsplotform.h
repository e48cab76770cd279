#pragma once

#include <memory>

#include <QMainWindow>

#include "gui/windowmenu.h"
#include "plots/widgets/plotwindowkit.h"

class ChartControl;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTimer;
struct Workbench;

namespace Ui {
struct WeightsPlotForm : PlotWindowMenus
{
    ChartControl *GraphW = nullptr;
    QLineEdit *Updinter = nullptr;
    QPushButton *Command1 = nullptr;
    QTimer *Timer1 = nullptr;
};
} // namespace Ui

// FRM_Plot, "Weights Plot": the histogram of all weights, redrawn on a double click and on its
// timer while training runs.
class WeightsPlotForm final : public QMainWindow, public MenuBarContent
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WeightsPlotForm)

public:
    // printer: the session's printer, which "&Print..." uses; it must outlive the window.
    WeightsPlotForm(Workbench &wb, QPrinter &printer, QWidget *parent = nullptr);
    ~WeightsPlotForm() override;

    Ui::WeightsPlotForm *ui() const { return m_ui.get(); }

    QList<QAction *> menuBarActions() const override;

    // PlotWeightDistribution: the histogram of the weights as they are now.
    void plotWeightDistribution();

private:
    Workbench &m_wb;
    std::unique_ptr<Ui::WeightsPlotForm> m_ui;
    QPrinter &m_printer;
};
