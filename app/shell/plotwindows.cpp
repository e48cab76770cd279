#include "shell/plotwindows.h"

#include <QAction>

#include "plots/widgets/netlayoutwindow.h"
#include "plots/widgets/plotoutform.h"
#include "plots/widgets/weightsplotform.h"
#include "shell/corvelwindow.h"
#include "shell/windowregistry.h"

namespace {

const QString WeightsTag = QStringLiteral("PLOTW");
const QString OutputsTag = QStringLiteral("PLOTOUT");
const QString LayoutTag = QStringLiteral("NET_LAYOUT");

// Brings up the window of tag; draw runs on a window that was not open before (and on every
// one when always is set).
template <class Window>
bool bringUp(WindowRegistry &windows, const QString &tag, void (Window::*draw)(), bool always)
{
    const bool fresh = windows.find(tag) == nullptr;
    auto *window = qobject_cast<Window *>(windows.show(tag));
    if (!window) {
        return false;
    }
    if (fresh || always) {
        (window->*draw)();
    }
    return true;
}

} // namespace

void registerPlotWindows(WindowRegistry &windows,
                         Workbench &wb,
                         QPrinter &printer,
                         CorvelWindow &corvel)
{
    windows.add(
            WeightsTag, [&wb, &printer] { return new WeightsPlotForm(wb, printer); },
            [&windows] {
                return bringUp(windows, WeightsTag, &WeightsPlotForm::plotWeightDistribution,
                               false);
            },
            {QStringLiteral("MNU_PLOTS_0"), QStringLiteral("plotweights")});
    windows.add(
            OutputsTag, [&wb, &printer] { return new PlotOutForm(wb, printer); },
            [&windows] { return bringUp(windows, OutputsTag, &PlotOutForm::redrawPlot, false); },
            {QStringLiteral("MNU_PLOTS_1"), QStringLiteral("plotnet")});
    // The window records its picture when it is made; asked for again, it draws anew.
    windows.add(
            LayoutTag, [&wb, &printer] { return new NetLayoutWindow(wb, printer); },
            [&windows] {
                const bool open = windows.find(LayoutTag) != nullptr;
                return bringUp(windows, LayoutTag, &NetLayoutWindow::buildNetPicture, open);
            },
            {QStringLiteral("MNU_PLOTS_2"), QStringLiteral("drawnet")});
    QObject::connect(corvel.action(QStringLiteral("MNU_PLOTS_3")), &QAction::triggered, &windows,
                     [&windows] {
                         if (auto *plot = qobject_cast<PlotOutForm *>(windows.show(OutputsTag))) {
                             plot->showPlot(PlotKind::Sensitivity);
                         }
                     });
}
