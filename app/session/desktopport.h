#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "model/windowlayout.h"

// What the core asks of the desktop around the main window: the frame's caption, the other
// windows, their layout for the network file, and programs started beside this one. The program
// answers with its frame and window registry, the command-line tool without windows, tests with
// a recording fake.
class DesktopPort
{
public:
    virtual ~DesktopPort();

    // Shows caption in the frame's title bar; an empty caption shows the program's title.
    virtual void setFrameCaption(const QString &caption) = 0;
    // Closes every window but the main network window and the frame.
    virtual void closeSatelliteWindows() = 0;
    // The layout of every open window, in the order of the window list, for the network file.
    virtual QList<WindowLayout> writeDesktop() = 0;
    // Brings up and places the windows a network file recorded.
    virtual void readDesktop(const QList<WindowLayout> &layout) = 0;
    // Starts a program without waiting for it (the editor); returns whether it started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};
