#include "shell/helpwindow.h"

#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char *const windowName = "HelpWindow";

HelpWindow *findHelp(QWidget *owner)
{
    return owner->findChild<HelpWindow *>(QLatin1String(windowName), Qt::FindDirectChildrenOnly);
}

} // namespace

HelpWindow::HelpWindow(QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    // The pages live in this library; pull its resources in explicitly.
    Q_INIT_RESOURCE(help);
    setObjectName(QLatin1String(windowName));
    setWindowTitle(tr("Axona Help"));

    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    QAction *contents = bar->addAction(tr("&Contents"));
    contents->setObjectName(QStringLiteral("HelpContents"));
    QAction *back = bar->addAction(tr("&Back"));
    back->setObjectName(QStringLiteral("HelpBack"));
    back->setEnabled(false);
    QAction *forward = bar->addAction(tr("&Forward"));
    forward->setObjectName(QStringLiteral("HelpForward"));
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, m_browser,
            [this] { m_browser->setSource(contentsUrl()); });
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        // The contents page is itself called "Axona Help": the title says it once.
        const QString page = m_browser->documentTitle();
        const QString title = tr("Axona Help");
        setWindowTitle(page.isEmpty() || page == title ? title : tr("Axona Help - %1").arg(page));
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);

    QSize size(760, 680);
    if (const QScreen *s = owner ? owner->screen() : screen()) {
        size = size.boundedTo(s->availableGeometry().size());
    }
    resize(size);
    if (owner) {
        // Over the middle of the program's window, also where no window manager places it.
        move(owner->geometry().center() - rect().center());
    }
    m_browser->document()->setDocumentMargin(12);
    m_browser->setSource(contentsUrl());
}

HelpWindow::~HelpWindow() = default;

QUrl HelpWindow::contentsUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

HelpWindow *showHelp(QWidget *owner)
{
    HelpWindow *help = findHelp(owner);
    if (!help) {
        help = new HelpWindow(owner);
        help->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        help->browser()->setSource(HelpWindow::contentsUrl());
    }
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

void closeHelp(QWidget *owner)
{
    if (HelpWindow *help = findHelp(owner)) {
        help->close();
    }
}
