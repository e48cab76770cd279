#include "shell/mdineuralframe.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "gui/windowmenu.h"
#include "shell/aboutdialog.h"
#include "shell/helpwindow.h"

MdiNeuralFrame::MdiNeuralFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
    , m_statusPanel(new QLabel(this))
    , m_windowMenu(createWindowMenu(this))
    , m_helpMenu(new QMenu(tr("&Help"), this))
{
    setObjectName(QStringLiteral("MDINeural"));
    setWindowTitle(QStringLiteral("Axona"));
    setProperty("Tag", QStringLiteral("MDI"));

    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusPanel->setObjectName(QStringLiteral("Panel1"));
    // A long message is cut at the window's edge (its tooltip holds it whole) rather than
    // widening the window.
    m_statusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(m_statusPanel, 1);
    setStatusBar(bar);

    m_helpMenu->setObjectName(QStringLiteral("MNU_HELP"));
    QAction *help = m_helpMenu->addAction(tr("&Help"));
    help->setObjectName(QStringLiteral("MNU_HELP_Help"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    QAction *about = m_helpMenu->addAction(tr("&About"));
    about->setObjectName(QStringLiteral("MNU_HELP_About"));
    connect(about, &QAction::triggered, this, [this] { showAboutBox(this); });
    connect(help, &QAction::triggered, this, [this] { showHelp(this); });

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MdiNeuralFrame::updateMenuBar);
    updateMenuBar();
}

MdiNeuralFrame::~MdiNeuralFrame()
{
    // The child windows' menus sit in our menu bar; take them out before the children go.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    menuBar()->clear();
}

void MdiNeuralFrame::setStatusText(const QString &text)
{
    m_statusPanel->setText(text);
}

QMdiSubWindow *MdiNeuralFrame::addChildWindow(QWidget *widget)
{
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(widget);
    sub->setWindowIcon(widget->windowIcon());
    // A closed child leaves its menus behind in the menu bar unless it is refreshed.
    connect(sub, &QObject::destroyed, this, &MdiNeuralFrame::updateMenuBar, Qt::QueuedConnection);
    return sub;
}

void MdiNeuralFrame::centreOnScreen()
{
    const QScreen *s = screen();
    if (!s) {
        return;
    }
    const QRect area = s->availableGeometry();
    const QSize size = frameGeometry().size();
    move(area.left() + (area.width() - size.width()) / 2,
         area.top() + (area.height() - size.height()) / 2);
}

void MdiNeuralFrame::fitToScreen()
{
    const QScreen *s = screen();
    if (!s) {
        return;
    }
    const QSize decoration = frameGeometry().size() - size();
    resize(size().boundedTo(s->availableGeometry().size() - decoration));
    centreOnScreen();
}

void MdiNeuralFrame::closeEvent(QCloseEvent *event)
{
    // The main network window may refuse (its save question); then the frame stays open.
    m_mdiArea->closeAllSubWindows();
    if (m_mdiArea->currentSubWindow() || !m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    // The help window is a window of its own; it goes with the program.
    closeHelp(this);
    event->accept();
}

void MdiNeuralFrame::updateMenuBar()
{
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    // When the frame itself loses the activation the area reports no active window; keep the
    // menus of the last active child then.
    if (!active && !m_mdiArea->subWindowList().isEmpty()) {
        active = m_mdiArea->currentSubWindow();
        if (!active) {
            return;
        }
    }
    QList<QAction *> actions;
    if (auto *content = active ? dynamic_cast<MenuBarContent *>(active->widget()) : nullptr) {
        actions = content->menuBarActions();
    } else {
        actions = {m_windowMenu->menuAction(), m_helpMenu->menuAction()};
    }
    if (menuBar()->actions() == actions) {
        return;
    }
    menuBar()->clear();
    menuBar()->addActions(actions);
}
