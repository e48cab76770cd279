#pragma once

#include <memory>

#include <QMainWindow>

#include "plots/widgets/plotwindowkit.h"
#include "gui/windowmenu.h"

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
    explicit WeightsPlotForm(Workbench &wb, QWidget *parent = nullptr);
    ~WeightsPlotForm() override;

    Ui::WeightsPlotForm *ui() const { return m_ui.get(); }

    QList<QAction *> menuBarActions() const override;

    // PlotWeightDistribution: the histogram of the weights as they are now.
    void plotWeightDistribution();
    // The printer "&Print..." uses; the owner may share one for the session.
    void setPrinter(QPrinter *printer);

private:
    Workbench &m_wb;
    std::unique_ptr<Ui::WeightsPlotForm> m_ui;
    WindowPrinter m_printer;
};
