#include "shell/windowregistry.h"

#include <QAction>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

#include "session/uiport.h"
#include "shell/mdineuralframe.h"

namespace {

const char *const TagProperty = "Tag";

QString tagOf(const QWidget *w)
{
    return layoutTag(w->property(TagProperty).toString());
}

int windowState(const QWidget *w)
{
    if (w->isMinimized()) {
        return 1;
    }
    return w->isMaximized() ? 2 : 0;
}

// Applies a recorded state; a window that is not in the normal state keeps the place the
// state gives it, as moving it would undo the state.
bool applyState(QWidget *w, int state)
{
    switch (state) {
    case 1:
        w->showMinimized();
        return false;
    case 2:
        w->showMaximized();
        return false;
    default:
        w->showNormal();
        return true;
    }
}

// The child window that frames content, or content itself when it has none.
QWidget *framing(QWidget *content)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(content->parentWidget())) {
        return sub;
    }
    return content;
}

} // namespace

WindowRegistry::WindowRegistry(MdiNeuralFrame &frame,
                               QWidget &menuOwner,
                               UiPort &ui,
                               QObject *parent)
    : QObject(parent)
    , m_frame(frame)
    , m_menuOwner(menuOwner)
    , m_ui(ui)
{}

WindowRegistry::~WindowRegistry() = default;

void WindowRegistry::add(const QString &tag, Create create, Open open, const QStringList &actions)
{
    const QString key = layoutTag(tag);
    for (const QString &name : actions) {
        if (auto *action = m_menuOwner.findChild<QAction *>(name)) {
            connect(action, &QAction::triggered, this, [this, key] { this->open(key); });
        } else {
            qWarning("WindowRegistry: the window %s names no action %s", qPrintable(key),
                     qPrintable(name));
        }
    }
    m_windows.insert(key, {tag, std::move(create), std::move(open)});
}

QWidget *WindowRegistry::find(const QString &tag) const
{
    const QString wanted = layoutTag(tag);
    const auto subs = m_frame.mdiArea()->subWindowList();
    for (QMdiSubWindow *sub : subs) {
        if (sub->widget() && tagOf(sub->widget()) == wanted) {
            return sub->widget();
        }
    }
    return nullptr;
}

QWidget *WindowRegistry::show(const QString &tag)
{
    const auto it = m_windows.constFind(layoutTag(tag));
    if (it == m_windows.constEnd()) {
        return nullptr;
    }
    if (QWidget *open = find(it.key())) {
        // The child window that frames it: a hidden window ("&Hide") comes back, and the
        // window moves to the front of the others.
        QWidget *frame = framing(open);
        frame->show();
        frame->raise();
        if (auto *sub = qobject_cast<QMdiSubWindow *>(frame)) {
            m_frame.mdiArea()->setActiveSubWindow(sub);
        }
        return open;
    }
    QWidget *window = it->create();
    if (!window) {
        return nullptr;
    }
    window->setProperty(TagProperty, it->tag);
    if (!qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
        QMdiSubWindow *sub = m_frame.addChildWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    }
    return window;
}

QWidget *WindowRegistry::activate(const QString &tag)
{
    QWidget *window = show(tag);
    if (auto *sub = window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr) {
        if (sub->isMinimized()) {
            sub->showNormal();
        }
        m_frame.mdiArea()->setActiveSubWindow(sub);
    }
    return window;
}

bool WindowRegistry::open(const QString &tag)
{
    const auto it = m_windows.constFind(layoutTag(tag));
    if (it == m_windows.constEnd()) {
        return false;
    }
    return it->open ? it->open() : show(it.key()) != nullptr;
}

QList<WindowLayout> WindowRegistry::save() const
{
    QList<WindowLayout> layout;
    const auto record = [&layout](const QWidget *w, const QWidget *tagged) {
        const QString tag = tagged->property(TagProperty).toString();
        if (!tag.isEmpty()) {
            layout.append(layoutRecord(tag, windowState(w), QRect(w->pos(), w->size())));
        }
    };
    record(&m_frame, &m_frame);
    const auto subs = m_frame.mdiArea()->subWindowList();
    for (const QMdiSubWindow *sub : subs) {
        if (sub->widget()) {
            record(sub, sub->widget());
        }
    }
    return layout;
}

void WindowRegistry::restore(const QList<WindowLayout> &layout)
{
    for (const WindowLayout &record : layout) {
        const QString tag = layoutTag(record.tag);
        bool place = true;
        if (m_windows.contains(tag) && open(tag)) {
            if (QWidget *window = find(tag)) {
                place = applyState(framing(window), record.state);
            }
        }
        QWidget *window = nullptr;
        if (tag == tagOf(&m_frame)) {
            window = &m_frame;
        } else if (QWidget *content = find(tag)) {
            window = framing(content);
        }
        if (window && place) {
            const QRect r =
                    fitToArea(layoutPixels(record), roomFor(window, record), window->sizeHint());
            window->move(r.topLeft());
            window->resize(r.size());
        }
        m_ui.yield();
    }
}

QRect WindowRegistry::roomFor(const QWidget *window, const WindowLayout &record) const
{
    if (window != &m_frame) {
        return {QPoint(0, 0), m_frame.mdiArea()->viewport()->size()};
    }
    // The screen the record names a place on, else the frame's own; the frame's title bar and
    // borders take their part of it.
    const QScreen *screen = QGuiApplication::screenAt(layoutPixels(record).center());
    if (!screen) {
        screen = m_frame.screen();
    }
    QRect room = screen->availableGeometry();
    room.setSize(room.size() - (m_frame.frameGeometry().size() - m_frame.size()));
    return room;
}

void WindowRegistry::closeSatellites()
{
    const auto subs = m_frame.mdiArea()->subWindowList();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if (!(*it)->widget() || tagOf((*it)->widget()) != QLatin1String("CPL")) {
            (*it)->close();
        }
    }
}
