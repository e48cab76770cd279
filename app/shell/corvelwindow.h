#pragma once

#include <functional>
#include <memory>

#include <QMainWindow>

#include "gui/windowmenu.h"

class ClickableLabel;
class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class UpDown;

namespace Ui {
// Every control of the main network window, named as the rest of the program names them.
struct CorvelWindow
{
    QLineEdit *TXT_Title = nullptr;

    // "Net Size"
    QGroupBox *FRA_NetSize = nullptr;
    QLabel *PNL_Layers = nullptr;
    UpDown *SPN_Layers = nullptr;
    QLabel *PNL_Lindex = nullptr;
    QComboBox *CMB_LayerSize = nullptr;
    QComboBox *CMB_idxfn = nullptr;
    QPushButton *BTN_Change = nullptr;

    // "Learning Parameters"
    QGroupBox *FRA_LearnPar = nullptr;
    QLineEdit *TXT_Eta = nullptr;
    UpDown *UpDown1 = nullptr;
    QLineEdit *TXT_Alpha = nullptr;
    UpDown *UpDown2 = nullptr;
    QLineEdit *TXT_Pnoise = nullptr;
    UpDown *UpDown3 = nullptr;
    QLineEdit *TXT_Wnoise = nullptr;
    UpDown *UpDown4 = nullptr;
    QLineEdit *TXT_Temp = nullptr;
    QLineEdit *TXT_epocs = nullptr;
    QLineEdit *TXT_PatClip = nullptr;
    QCheckBox *CHK_AutoLearn = nullptr;

    // "Epoc Parameters"
    QGroupBox *FRA_EpocPar = nullptr;
    QCheckBox *CHK_RND = nullptr;
    QLineEdit *TXT_EpocLen = nullptr;

    // "Training Results"
    QGroupBox *FRA_Results = nullptr;
    QLineEdit *TXT_TargetErr = nullptr;
    QLabel *LBL_Error = nullptr;
    QLabel *LBL_Change = nullptr;
    QLabel *LBL_iter = nullptr;
    QLabel *LBL_GoodPats = nullptr;
    QCheckBox *CHK_ShowTestErr = nullptr;

    // "Weights"
    QGroupBox *FRA_Weights = nullptr;
    QLabel *PNL_NW = nullptr;
    QLabel *PNL_MinW = nullptr;
    QLabel *PNL_MaxW = nullptr;
    QLineEdit *TXT_minW = nullptr;
    QLineEdit *TXT_maxW = nullptr;
    QPushButton *BTN_Randomize = nullptr;

    // "Files"
    QGroupBox *FRA_Files = nullptr;
    ClickableLabel *LBL_DataFile = nullptr;
    ClickableLabel *LBL_TestFile = nullptr;
    ClickableLabel *LBL_WeightFile = nullptr;
    QPushButton *BTN_EditPat = nullptr;
    QPushButton *BTN_EditTst = nullptr;
    QPushButton *BTN_EditWgt = nullptr;
    QLabel *LBL_Npts = nullptr;
    QLabel *LBL_NptsTST = nullptr;

    // Hidden ends of the data links: received pattern and test data, offered outputs.
    QPlainTextEdit *TXT_PAT = nullptr;
    QPlainTextEdit *TXT_TST = nullptr;
    QPlainTextEdit *TXT_PATOUTS = nullptr;
    QPlainTextEdit *TXT_TSTOUTS = nullptr;

    QToolBar *Toolbar1 = nullptr;

    // The menus of the main menu, in menu-bar order, and the "&Setup..." command between them.
    QMenu *MNU_FILE = nullptr;
    QMenu *MNU_EDIT = nullptr;
    QMenu *MNU_DATA = nullptr;
    QMenu *MNU_VIEW = nullptr;
    QMenu *MNU_PLOT = nullptr;
    QAction *MNU_SETUP = nullptr;
    QMenu *MNU_WINDOW = nullptr;
    QMenu *MNU_HELP = nullptr;
};
} // namespace Ui

// The main network window Corvel ("Neural Control Panel"): the main menu, the toolbar and the
// panels that show and edit the network. It holds no workflow: a binding layer reaches the
// controls through ui(), the menu items through action(), the toolbar through toolAction().
// Only the shell's own commands are connected here: the Window menu, "E&xit" and "&About".
class CorvelWindow final : public QMainWindow, public MenuBarContent
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CorvelWindow)

public:
    explicit CorvelWindow(QWidget *parent = nullptr);
    ~CorvelWindow() override;

    Ui::CorvelWindow *ui() const { return m_ui.get(); }

    // A menu item by its name (MNU_FILE_OpenNet, MNU_PLOTS_2, ...), or null.
    QAction *action(const QString &name) const;
    // A toolbar button by its key ("new", "open", ... "drawnet"), or null.
    QAction *toolAction(const QString &key) const;
    // The toolbar's actions in button order.
    QList<QAction *> toolActions() const;
    // Enables or disables the toolbar button at a 1-based position (1 "new", 2 "open", ...).
    void enableToolButton(int index, bool enabled);

    // Asked before the window closes (the save question); returning false keeps it open.
    void setCloseGuard(std::function<bool()> guard);

    QList<QAction *> menuBarActions() const override;

signals:
    // The window has closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createPanels();
    void createShortcuts();
    // Lays the panels out in three columns (wide) or two.
    void placePanels(bool wide);

    std::unique_ptr<Ui::CorvelWindow> m_ui;
    std::function<bool()> m_closeGuard;
    QGridLayout *m_panels = nullptr;
    // The narrowest the three-column layout can be.
    int m_wideWidth = 0;
    bool m_widePanels = true;
};
