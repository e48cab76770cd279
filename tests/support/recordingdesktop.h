#pragma once

#include <functional>

#include "session/desktopport.h"
#include "session/workbench.h"

// A desktop that records what the core asks of it: captions, closings, restored layouts and
// started programs, and answers a layout write with the layout a test put in. Made with a
// workbench, it stands in for that workbench's desktop until destroyed, passing the window
// requests on to the desktop it replaced; programs are never started.
class RecordingDesktop final : public DesktopPort
{
public:
    RecordingDesktop() = default;

    explicit RecordingDesktop(Workbench &wb)
        : m_wb(&wb)
        , m_forward(wb.desktop)
    {
        wb.desktop = this;
    }

    ~RecordingDesktop() override
    {
        if (m_wb) {
            m_wb->desktop = m_forward;
        }
    }

    RecordingDesktop(const RecordingDesktop &) = delete;
    RecordingDesktop &operator=(const RecordingDesktop &) = delete;

    void setFrameCaption(const QString &caption) override
    {
        captions.append(caption);
        if (m_forward) {
            m_forward->setFrameCaption(caption);
        }
    }

    void closeSatelliteWindows() override
    {
        ++satelliteCloses;
        if (m_forward) {
            m_forward->closeSatelliteWindows();
        }
    }

    QList<WindowLayout> writeDesktop() override
    {
        return m_forward ? m_forward->writeDesktop() : layout;
    }

    void readDesktop(const QList<WindowLayout> &read) override
    {
        restored.append(read);
        if (onRestore) {
            onRestore();
        }
        if (m_forward) {
            m_forward->readDesktop(read);
        }
    }

    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        started.append(QStringList {program} + arguments);
        return programsStart;
    }

    QStringList captions;
    int satelliteCloses = 0;
    // What writeDesktop answers when no desktop is passed on to.
    QList<WindowLayout> layout;
    // The layout of every readDesktop, in order; onRestore runs inside each.
    QList<QList<WindowLayout>> restored;
    std::function<void()> onRestore;
    // Program and arguments of every start, and whether starts succeed.
    QList<QStringList> started;
    bool programsStart = true;

private:
    Workbench *m_wb = nullptr;
    DesktopPort *m_forward = nullptr;
};
