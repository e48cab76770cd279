#pragma once

#include <functional>

#include <QList>

#include "plots/widgets/picturefiles.h"

class QAction;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPrinter;
class QString;
class QTimer;
class QVBoxLayout;
class QWidget;
class UiPort;

// The menus every plot window has: "&File" with "&Print..." and "&Close", "&Edit" with "&Copy",
// and "&Window".
struct PlotWindowMenus
{
    QMenu *MNU_FILE = nullptr;
    QAction *MNU_FILE_Print = nullptr;
    QAction *MNU_FILE_Close = nullptr;
    QMenu *MNU_EDIT = nullptr;
    QAction *MNU_EDIT_Copy = nullptr;
    QMenu *MNU_WINDOW = nullptr;

    // The entries of the frame's menu bar while the window is active.
    QList<QAction *> menuBarActions() const;
};

// Names window, gives it its caption, layout tag and the icon of its toolbar button (by key), and
// a central widget whose layout comes back for the window's controls.
QVBoxLayout *setUpPlotWindow(QMainWindow *window,
                             const char *name,
                             const QString &caption,
                             const QString &tag,
                             const QString &icon);

// Builds those menus for window; "&Close" closes it (its child window in the frame).
PlotWindowMenus createPlotWindowMenus(QMainWindow *window);

// Hides window, or the child window of the frame that holds it.
void hideChildWindow(QWidget *window);

// A plot window's refresh-interval box driving its timer: box shows seconds and the timer runs
// every that many seconds. Each change of the text sets the timer (kept within 2..60 s); when
// editing ends the box is corrected to the limit it passed and store receives the value.
void bindRefreshInterval(QLineEdit *box,
                         QTimer *timer,
                         int seconds,
                         const std::function<void(int seconds)> &store);

// Tells the user through ui when a print could not start on printer.
void reportPrintOutcome(PrintOutcome outcome, const QPrinter &printer, UiPort &ui);
