#pragma once

#include <QList>

class QAction;
class QMdiArea;
class QMenu;
class QWidget;

// How the Window menu arranges the frame's child windows; the values are the element numbers of
// the menu items.
enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

// Arranges the child windows of area: cascade, full-width strips one above the other
// (horizontal), side-by-side columns (vertical), or the minimised windows in rows along the
// bottom edge (icons). Minimised windows keep their place in the first three.
void arrangeWindows(QMdiArea *area, Arrangement how);

// The MDI area that holds widget (a child window or the frame itself), or null.
QMdiArea *enclosingMdiArea(QWidget *widget);

// A "&Window" menu owned by owner with the items "Cascate", "Tile Horizontal", "Tile Vertical"
// and "Arrange Icons" (MNU_WINDOW1_0 .. MNU_WINDOW1_3); each arranges the windows of the MDI area
// that holds owner when chosen. Each time it opens, the menu lists that area's windows below.
QMenu *createWindowMenu(QWidget *owner);

// Puts the child windows of area at the end of menu, numbered and by their captions, the
// active one checked; choosing one brings it to the front (a minimised one restored). The list
// of an earlier call is replaced.
void listWindows(QMenu *menu, QMdiArea *area);

// A child window whose menus replace the frame's own while it is the active window.
class MenuBarContent
{
public:
    virtual ~MenuBarContent();
    // The menu bar entries in order: menus' menuAction()s and plain commands.
    virtual QList<QAction *> menuBarActions() const = 0;
};
