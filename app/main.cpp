#include <csignal>

#include <QApplication>

#include "shell/axonaapp.h"

int main(int argc, char *argv[])
{
    // A save beyond the file size limit fails with its error, shown like a full disk, instead of
    // ending the program with the network unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Axona"));
    // Ties the windows to the installed desktop entry (its name and icon in the task bar).
    QApplication::setDesktopFileName(QStringLiteral("org.axona.Axona"));
    AxonaApplication axona;
    const QStringList args = QApplication::arguments();
    axona.start(args.size() > 1 ? args.at(1) : QString());
    return QApplication::exec();
}
