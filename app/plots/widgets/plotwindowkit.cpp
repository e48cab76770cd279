#include "plots/widgets/plotwindowkit.h"

#include <QIcon>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/printing.h"
#include "gui/windowmenu.h"
#include "plots/chartdata.h"

namespace {

QAction *namedAction(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

QVBoxLayout *setUpPlotWindow(QMainWindow *window,
                             const char *name,
                             const QString &caption,
                             const QString &tag,
                             const QString &icon)
{
    window->setObjectName(QLatin1String(name));
    window->setWindowTitle(caption);
    window->setWindowIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)));
    window->setProperty("Tag", tag);
    auto *central = new QWidget(window);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    window->setCentralWidget(central);
    return layout;
}

PlotWindowMenus createPlotWindowMenus(QMainWindow *window)
{
    PlotWindowMenus m;
    m.MNU_FILE = new QMenu(QStringLiteral("&File"), window);
    m.MNU_FILE->setObjectName(QStringLiteral("MNU_FILE"));
    m.MNU_FILE_Print = namedAction(m.MNU_FILE, "MNU_FILE_Print", QStringLiteral("&Print..."));
    m.MNU_FILE->addSeparator();
    m.MNU_FILE_Close = namedAction(m.MNU_FILE, "MNU_FILE_Close", QStringLiteral("&Close"));
    m.MNU_EDIT = new QMenu(QStringLiteral("&Edit"), window);
    m.MNU_EDIT->setObjectName(QStringLiteral("MNU_EDIT"));
    m.MNU_EDIT_Copy = namedAction(m.MNU_EDIT, "MNU_EDIT_Copy", QStringLiteral("&Copy"));
    m.MNU_WINDOW = createWindowMenu(window);
    QObject::connect(m.MNU_FILE_Close, &QAction::triggered, window, [window] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
            sub->close();
        } else {
            window->close();
        }
    });
    return m;
}

QList<QAction *> PlotWindowMenus::menuBarActions() const
{
    return {MNU_FILE->menuAction(), MNU_EDIT->menuAction(), MNU_WINDOW->menuAction()};
}

void hideChildWindow(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        sub->hide();
    } else {
        window->hide();
    }
}

void bindRefreshInterval(QLineEdit *box,
                         QTimer *timer,
                         int seconds,
                         const std::function<void(int seconds)> &store)
{
    box->setText(QString::number(seconds));
    timer->start(plotInterval(box->text()) * 1000);
    QObject::connect(box, &QLineEdit::textChanged, timer,
                     [timer](const QString &text) { timer->start(plotInterval(text) * 1000); });
    // The text is corrected only once the user is done typing, so "15" can be typed through "1".
    QObject::connect(box, &QLineEdit::editingFinished, timer, [box, store] {
        QString corrected;
        const int value = plotInterval(box->text(), &corrected);
        if (!corrected.isEmpty()) {
            box->setText(corrected);
        }
        store(value);
    });
}

void reportPrintOutcome(PrintOutcome outcome, const QPrinter &printer, UiPort &ui)
{
    if (outcome == PrintOutcome::Failed) {
        reportPrinterFailure(printer, ui);
    }
}
