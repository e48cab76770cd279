#pragma once

#include <memory>

#include <QMainWindow>

#include "gui/windowmenu.h"
#include "plots/outputplots.h"
#include "plots/widgets/plotwindowkit.h"

class ChartControl;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTimer;
class UpDown;
struct Workbench;

namespace Ui {
struct PlotOutForm : PlotWindowMenus
{
    ChartControl *Graph = nullptr;
    QComboBox *CMB_PlotType = nullptr;
    QGroupBox *FRM_Outputs = nullptr;
    QLineEdit *TXT_From = nullptr;
    UpDown *UpDown3 = nullptr;
    QLineEdit *TXT_To = nullptr;
    UpDown *UpDown2 = nullptr;
    QFrame *PNL_Scontrols = nullptr;
    QLabel *PNL_Sens = nullptr;
    UpDown *UpDown1 = nullptr;
    QLineEdit *UpdInter = nullptr;
    QPushButton *Command1 = nullptr;
    QTimer *Timer1 = nullptr;
};
} // namespace Ui

// FRM_PlotOut, "Plot Outputs": the outputs, errors, RMS history and input sensitivity of the
// network on its data, redrawn on request and on its timer while training runs. A right click
// on the chart opens the plot settings of the plot shown.
class PlotOutForm final : public QMainWindow, public MenuBarContent
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlotOutForm)

public:
    // printer: the session's printer, which "&Print..." uses; it must outlive the window.
    PlotOutForm(Workbench &wb, QPrinter &printer, QWidget *parent = nullptr);
    ~PlotOutForm() override;

    Ui::PlotOutForm *ui() const { return m_ui.get(); }

    QList<QAction *> menuBarActions() const override;

    // RedrawPlot: the plot chosen in the list, from the model as it is now.
    void redrawPlot();
    // Chooses a plot in the list (which redraws it).
    void showPlot(PlotKind kind);
    // Refills the plot-type list after a test set came or went, keeping the choice when it is
    // still listed.
    void updatePlotTypes();

    const PlotOutState &state() const { return m_state; }

private:
    void readControls();
    void showState();
    void openSettings();
    void print();

    Workbench &m_wb;
    std::unique_ptr<Ui::PlotOutForm> m_ui;
    PlotOutState m_state;
    QPrinter &m_printer;
};
