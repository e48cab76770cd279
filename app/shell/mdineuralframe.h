#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The frame window MDINeural: caption "Axona", the MDI area holding every child window, the
// status bar StatusBar1 whose first panel carries the progress texts, and its own "&Window" and
// "&Help" menus. While a child window that brings menus (MenuBarContent) is active, its menus
// take the menu bar's place.
class MdiNeuralFrame final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MdiNeuralFrame)

public:
    explicit MdiNeuralFrame(QWidget *parent = nullptr);
    ~MdiNeuralFrame() override;

    QMdiArea *mdiArea() const { return m_mdiArea; }

    // First panel of StatusBar1; an empty text clears it.
    QLabel *statusPanel() const { return m_statusPanel; }

    void setStatusText(const QString &text);
    // Puts widget into the MDI area as a child window and returns its sub-window.
    QMdiSubWindow *addChildWindow(QWidget *widget);
    // Places the frame in the middle of its screen.
    void centreOnScreen();
    // Shrinks the frame, its title bar and borders included, to the room its screen offers,
    // then centres it.
    void fitToScreen();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateMenuBar();

    QMdiArea *m_mdiArea;
    QLabel *m_statusPanel;
    QMenu *m_windowMenu;
    QMenu *m_helpMenu;
};
