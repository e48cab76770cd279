#include "gui/windowmenu.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

MenuBarContent::~MenuBarContent() = default;

namespace {

QList<QMdiSubWindow *> windows(QMdiArea *area, bool minimised)
{
    QList<QMdiSubWindow *> result;
    const auto all = area->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow *w : all) {
        if (!w->isHidden() && w->isMinimized() == minimised) {
            result.append(w);
        }
    }
    return result;
}

// Lays the minimised windows in rows from the bottom left; returns the height they take.
int placeIcons(QMdiArea *area, bool move)
{
    const auto icons = windows(area, true);
    const QRect view = area->viewport()->rect();
    int x = 0;
    int y = view.bottom() + 1;
    int rowHeight = 0;
    int used = 0;
    for (QMdiSubWindow *w : icons) {
        const QSize size = w->size();
        if (x > 0 && x + size.width() > view.width()) {
            y -= rowHeight;
            x = 0;
            rowHeight = 0;
        }
        rowHeight = std::max(rowHeight, size.height());
        if (move) {
            w->move(x, y - size.height());
        }
        x += size.width();
        used = view.bottom() + 1 - (y - rowHeight);
    }
    return used;
}

void tile(QMdiArea *area, Qt::Orientation stacking)
{
    const auto list = windows(area, false);
    if (list.isEmpty()) {
        return;
    }
    QRect view = area->viewport()->rect();
    view.setBottom(view.bottom() - placeIcons(area, false));
    const int n = static_cast<int>(list.size());
    const int extent = stacking == Qt::Vertical ? view.height() : view.width();
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = list.at(i);
        if (w->isMaximized()) {
            w->showNormal();
        }
        // The last window takes the pixels the division leaves over.
        const int from = extent * i / n;
        const int to = extent * (i + 1) / n;
        if (stacking == Qt::Vertical) {
            w->setGeometry(view.left(), view.top() + from, view.width(), to - from);
        } else {
            w->setGeometry(view.left() + from, view.top(), to - from, view.height());
        }
    }
}

} // namespace

void arrangeWindows(QMdiArea *area, Arrangement how)
{
    if (!area) {
        return;
    }
    switch (how) {
    case Arrangement::Cascade:
        for (QMdiSubWindow *w : windows(area, false)) {
            if (w->isMaximized()) {
                w->showNormal();
            }
        }
        area->cascadeSubWindows();
        break;
    case Arrangement::TileHorizontal:
        // Horizontal tiles are full-width strips stacked from top to bottom.
        tile(area, Qt::Vertical);
        break;
    case Arrangement::TileVertical:
        tile(area, Qt::Horizontal);
        break;
    case Arrangement::ArrangeIcons:
        placeIcons(area, true);
        break;
    }
}

QMdiArea *enclosingMdiArea(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QMdiArea *>(w)) {
            return area;
        }
        if (auto *main = qobject_cast<QMainWindow *>(w)) {
            if (auto *area = qobject_cast<QMdiArea *>(main->centralWidget())) {
                return area;
            }
        }
    }
    return nullptr;
}

QMenu *createWindowMenu(QWidget *owner)
{
    auto *menu = new QMenu(QObject::tr("&Window"), owner);
    menu->setObjectName(QStringLiteral("MNU_WINDOW"));

    const struct
    {
        const char *caption;
        Arrangement how;
    } items[] = {
            {"Cascate", Arrangement::Cascade},
            {"Tile Horizontal", Arrangement::TileHorizontal},
            {"Tile Vertical", Arrangement::TileVertical},
            {"Arrange Icons", Arrangement::ArrangeIcons},
    };

    for (const auto &item : items) {
        QAction *action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QStringLiteral("MNU_WINDOW1_%1").arg(static_cast<int>(item.how)));
        const Arrangement how = item.how;
        QObject::connect(action, &QAction::triggered, owner,
                         [owner, how] { arrangeWindows(enclosingMdiArea(owner), how); });
    }
    // Below the arrangements, the open windows by their captions, the active one checked: a
    // window hidden behind a maximised one is one choice away.
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu, owner] { listWindows(menu, enclosingMdiArea(owner)); });
    return menu;
}

void listWindows(QMenu *menu, QMdiArea *area)
{
    const auto old = menu->findChildren<QActionGroup *>(QStringLiteral("MNU_WINDOW_List"));
    for (QActionGroup *group : old) {
        for (QAction *a : group->actions()) {
            menu->removeAction(a);
        }
        delete group;
    }
    const auto separators = menu->findChildren<QAction *>(QStringLiteral("MNU_WINDOW_Rule"));
    for (QAction *rule : separators) {
        menu->removeAction(rule);
        delete rule;
    }
    if (!area) {
        return;
    }
    const auto subs = area->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty()) {
        return;
    }
    menu->addSeparator()->setObjectName(QStringLiteral("MNU_WINDOW_Rule"));
    auto *group = new QActionGroup(menu);
    group->setObjectName(QStringLiteral("MNU_WINDOW_List"));
    int n = 0;
    for (QMdiSubWindow *sub : subs) {
        ++n;
        const QString caption = n <= 9 ? QStringLiteral("&%1 %2").arg(n).arg(sub->windowTitle())
                                       : sub->windowTitle();
        QAction *item = menu->addAction(caption);
        item->setCheckable(true);
        item->setChecked(sub == area->activeSubWindow());
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, area, [area, window = QPointer(sub)] {
            if (!window) {
                return;
            }
            if (window->isMinimized()) {
                window->showNormal();
            }
            area->setActiveSubWindow(window);
        });
    }
}
