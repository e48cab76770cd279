#include <algorithm>
#include <csignal>

#include <QCoreApplication>
#include <QTextStream>

#include "cli/commands.h"

namespace {

int usage(QTextStream &err, int status)
{
    err << "usage: axona COMMAND ARGUMENTS...\n\ncommands:\n";
    for (const CliCommand &c : cliCommands()) {
        err << "  axona " << c.usage << "\n      " << c.summary << '\n';
    }
    err << "\nMessages go to standard error; questions are answered Yes (Yes/No), OK (OK/Cancel)"
           " or No (Yes/No/Cancel).\nThe engine is libaxona32.so from $AXONA_ENGINE, beside the"
           " program, or the library path.\n";
    return status;
}

} // namespace

// The headless command-line tool: the same core as the windowed program, no window.
int main(int argc, char *argv[])
{
    // A write beyond the file size limit then fails with its error, reported like a full disk,
    // instead of ending the tool.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("axona"));
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return usage(err, ExitUsage);
    }
    const QString name = args.takeFirst();
    for (const CliCommand &c : cliCommands()) {
        if (name == QLatin1String(c.name)) {
            if (c.arguments >= 0 ? args.size() != c.arguments : args.isEmpty()) {
                err << "usage: axona " << c.usage << '\n';
                return ExitUsage;
            }
            // An empty name would open a file dialog nobody answers, or write hidden files.
            const qsizetype names = c.arguments >= 0 ? c.arguments : 1;
            if (std::any_of(args.cbegin(), args.cbegin() + names,
                            [](const QString &a) { return a.isEmpty(); })) {
                err << "axona: a file name is empty\nusage: axona " << c.usage << '\n';
                return ExitUsage;
            }
            return c.run(args);
        }
    }
    if (name == QLatin1String("help") || name == QLatin1String("--help")
        || name == QLatin1String("-h")) {
        return usage(err, ExitOk);
    }
    err << "axona: unknown command " << name << "\n\n";
    return usage(err, ExitUsage);
}
