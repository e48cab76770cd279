#pragma once

#include <memory>

#include <QList>
#include <QObject>

#include "session/desktopport.h"

class CorvelWindow;
class DataExchange;
class DesktopLinkPort;
class EngineApi;
class FormBinder;
class MdiNeuralFrame;
class QtUiPort;
class WindowPrinting;
class WindowRegistry;
struct Workbench;

// The running program: the frame, the main network window, the UI port, the engine binding and
// the one network, wired together. Widgets forward what the user does to the core's workflows
// and show what the core's form state holds.
class AxonaApplication final : public QObject, public DesktopPort
{
    Q_OBJECT

public:
    AxonaApplication();
    ~AxonaApplication() override;

    // Start-up in order: defaults, the default network, settings, then the network file named
    // on the command line (empty: none).
    void start(const QString &netFile);

    MdiNeuralFrame &frame() const { return *m_frame; }

    CorvelWindow &corvel() const { return *m_corvel; }

    Workbench &workbench() const { return *m_workbench; }

    QtUiPort &ui() const { return *m_ui; }

    // The links with other programs.
    DesktopLinkPort &links() const { return *m_links; }

    // The desktop of the program: the frame's caption, its child windows, programs started.
    void setFrameCaption(const QString &caption) override;
    void closeSatelliteWindows() override;
    QList<WindowLayout> writeDesktop() override;
    void readDesktop(const QList<WindowLayout> &layout) override;
    bool startDetached(const QString &program, const QStringList &arguments) override;

private:
    void connectNetSize();
    void connectParameters();
    void connectMenus();
    void connectFiles();
    void connectTraining();
    void connectReports();
    void connectExchange();
    void train();
    void registerWindows();
    bool confirmClose();

    std::unique_ptr<MdiNeuralFrame> m_frame;
    CorvelWindow *m_corvel = nullptr;
    std::unique_ptr<QtUiPort> m_ui;
    std::unique_ptr<EngineApi> m_engine;
    std::unique_ptr<Workbench> m_workbench;
    std::unique_ptr<FormBinder> m_binder;
    std::unique_ptr<WindowRegistry> m_windows;
    WindowPrinting *m_printing = nullptr;
    // The links with other programs and the Edit menu's commands on them.
    std::unique_ptr<DesktopLinkPort> m_links;
    std::unique_ptr<DataExchange> m_exchange;
    // The program was asked to close while a training run was active: close when it ends.
    bool m_closeAfterTraining = false;
};
