#include <QApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>

#include "shell/widgets/corvelwindow.h"
#include "shell/widgets/mdineuralframe.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Axona"));

    MdiNeuralFrame frame;
    if (const QScreen *screen = frame.screen()) {
        const QSize available = screen->availableGeometry().size();
        frame.resize(std::min(1100, available.width()), std::min(760, available.height()));
    }
    frame.centreOnScreen();
    frame.show();

    auto *corvel = new CorvelWindow;
    QMdiSubWindow *sub = frame.addChildWindow(corvel);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The main network window's closing ends the program; leave its close event first.
    QObject::connect(corvel, &CorvelWindow::closed, &frame,
                     [&frame] { QTimer::singleShot(0, &frame, &QWidget::close); });
    sub->showMaximized();
    return QApplication::exec();
}
