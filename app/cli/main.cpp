#include <QCoreApplication>
#include <QTextStream>

// The headless command-line tool: the same core as the windowed program, no window.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("axona"));
    QTextStream err(stderr);
    err << "usage: axona COMMAND NET ...\n";
    return 2;
}
