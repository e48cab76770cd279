#pragma once

#include <memory>

#include <QMainWindow>

#include "gui/windowmenu.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class UpDown;
struct Workbench;

namespace Ui {
struct ReportWindow
{
    // Layer panel: the layer whose activations or outputs are listed.
    QFrame *PNL_Lcontrols = nullptr;
    QLabel *PNL_Layer = nullptr;
    UpDown *UpDown1 = nullptr;
    // Sensitivity panel: the relative step in percent and "&Update".
    QFrame *PNL_Scontrols = nullptr;
    QLabel *PNL_Sens = nullptr;
    UpDown *UpDown2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPlainTextEdit *TXT_Rep = nullptr;

    QMenu *MNU_FILE = nullptr;
    QAction *MNU_FILE_SaveAs = nullptr;
    QAction *MNU_FILE_SaveEdit = nullptr;
    QAction *MNU_FILE_Close = nullptr;
    QMenu *MNU_EDIT = nullptr;
    QAction *MNU_EDIT_Copy = nullptr;
    QMenu *MNU_WINDOW = nullptr;
};
} // namespace Ui

// The report window Report ("Neural Report"): run and test reports, weight listings and input
// sensitivities in one read-only text that can still be selected and copied. Its own commands
// "&Close" and "&Copy" always work; made on a workbench, the window also shows the workbench's
// report state whenever it changes and passes its spinners, "&Update" and saving to the core.
class ReportWindow final : public QMainWindow, public MenuBarContent
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportWindow)

public:
    explicit ReportWindow(QWidget *parent = nullptr);
    // Bound to wb, which must outlive the window; closing the window tells the core.
    explicit ReportWindow(Workbench &wb, QWidget *parent = nullptr);
    ~ReportWindow() override;

    Ui::ReportWindow *ui() const { return m_ui.get(); }

    QList<QAction *> menuBarActions() const override;

    // The text box's limit on the report's length (MaxLen).
    static constexpr int MaxLen = 32767;

private:
    // Mirrors the workbench's report state into the controls.
    void showState();

    std::unique_ptr<Ui::ReportWindow> m_ui;
    Workbench *m_wb = nullptr;
};
