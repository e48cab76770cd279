#include <QApplication>

#include "shell/axonaapp.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Axona"));
    AxonaApplication axona;
    const QStringList args = QApplication::arguments();
    axona.start(args.size() > 1 ? args.at(1) : QString());
    return QApplication::exec();
}
