#pragma once

#include <functional>

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include "model/windowlayout.h"

class MdiNeuralFrame;
class QWidget;
class UiPort;

// The frame's kinds of child window, each known by its tag: how to make it, what brings it up
// from a menu or from a layout line of a network file, and its place in the layout the network
// file records. A window kind registers once; the menus and the layout save and restore find it
// here by its tag.
class WindowRegistry final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowRegistry)

public:
    using Create = std::function<QWidget *()>;
    using Open = std::function<bool()>;

    // frame holds the windows; menuOwner holds the actions named by registrations; ui yields
    // while a layout is restored. All three must outlive the registry.
    WindowRegistry(MdiNeuralFrame &frame,
                   QWidget &menuOwner,
                   UiPort &ui,
                   QObject *parent = nullptr);
    ~WindowRegistry() override;

    // Registers a window kind:
    // - tag: its tag in the layout lines, e.g. "PLOTW"; matched upper-cased and trimmed;
    // - create: makes the window's content on first use; the registry puts it into the frame,
    //   tags it and deletes it when its child window is closed (a window already in the frame is
    //   taken as it is);
    // - open: what brings the window up when that is more than showing it (the report runs Run
    //   Net), returning whether it came up; unset, show();
    // - actions: object names of menuOwner's menu items and toolbar buttons that bring it up;
    //   one that does not exist is reported as a warning.
    void add(const QString &tag, Create create, Open open = {}, const QStringList &actions = {});

    // The open window of tag (its content widget), or null.
    QWidget *find(const QString &tag) const;

    // The window of a registered tag, made on first use, shown and raised; null for a tag
    // nobody registered.
    QWidget *show(const QString &tag);

    // show(), then makes the window the frame's active child window, in front of the others
    // (also when it was open behind them); null for a tag nobody registered.
    QWidget *activate(const QString &tag);

    // Brings the window of tag up as its menu item does; returns whether it came up.
    bool open(const QString &tag);

    // The layout of the frame and every child window that has a tag, in the order of the
    // frame's window list.
    QList<WindowLayout> save() const;

    // Each record in turn: brings up the window its tag names and sets its state, then moves the
    // window of that tag (the frame for the frame's tag) to the recorded place, unless it is
    // minimised or maximised; yields after each record. A place is made to fit: the frame on a
    // screen's free space, a child window inside the frame, a size that is not positive taken
    // from the window's own. Tags nobody registered place only a
    // window that is already open.
    void restore(const QList<WindowLayout> &layout);

    // Closes every child window but the main window ("CPL"), from the last to the first.
    void closeSatellites();

private:
    // Where a recorded place of window must lie, in the coordinates move() takes.
    QRect roomFor(const QWidget *window, const WindowLayout &record) const;

    struct Window
    {
        QString tag;
        Create create;
        Open open;
    };

    MdiNeuralFrame &m_frame;
    QWidget &m_menuOwner;
    UiPort &m_ui;
    QHash<QString, Window> m_windows;
};
