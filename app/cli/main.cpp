#include <algorithm>
#include <csignal>
#include <memory>

#include <QCoreApplication>
#include <QTextStream>

#ifdef AXONA_CLI_PICTURES
#include <QApplication>
#endif

#include "cli/commands.h"
#include "cli/help.h"
#include "cli/plotfiles.h"

namespace {

bool isHelp(const QString &word)
{
    return word == QLatin1String("--help") || word == QLatin1String("-h");
}

const CliCommand *findCommand(const QString &name)
{
    for (const CliCommand &c : cliCommands()) {
        if (name == QLatin1String(c.name)) {
            return &c;
        }
    }
    return nullptr;
}

// Asked for, help goes to standard output; after a wrong command line, to standard error.
int overview(int status)
{
    QTextStream out(status == ExitOk ? stdout : stderr);
    printOverview(out);
    return status;
}

// `axona --generate man|complete-bash`: the manual page and the bash completion, which the
// build installs.
int generate(const QStringList &args)
{
    QTextStream out(stdout);
    if (args == QStringList {QStringLiteral("man")}) {
        printManPage(out);
    } else if (args == QStringList {QStringLiteral("complete-bash")}) {
        printBashCompletion(out);
    } else {
        QTextStream(stderr) << "usage: axona --generate man|complete-bash\n";
        return ExitUsage;
    }
    return ExitOk;
}

} // namespace

// The headless command-line tool: the same core as the windowed program, no window.
int main(int argc, char *argv[])
{
    // A write beyond the file size limit then fails with its error, reported like a full disk,
    // instead of ending the tool.
    std::signal(SIGXFSZ, SIG_IGN);
    std::unique_ptr<QCoreApplication> app;
#ifdef AXONA_CLI_PICTURES
    QStringList given;
    for (int i = 1; i < argc; ++i) {
        given << QString::fromLocal8Bit(argv[i]);
    }
    if (commandWritesPicture(given)) {
        // Charts are drawn with widgets, which need no display on this platform.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
#endif
    if (!app) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("axona"));
    QCoreApplication::setApplicationVersion(QStringLiteral(AXONA_VERSION));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return overview(ExitUsage);
    }
    const QString name = args.takeFirst();
    if (const CliCommand *c = findCommand(name)) {
        if (args.size() == 1 && isHelp(args.at(0))) {
            QTextStream out(stdout);
            printCommandHelp(out, *c);
            return ExitOk;
        }
        if (c->arguments >= 0 ? args.size() != c->arguments : args.isEmpty()) {
            QTextStream(stderr) << "usage: axona " << c->usage << "\n(axona " << c->name
                                << " --help tells more)\n";
            return ExitUsage;
        }
        // An empty name would open a file dialog nobody answers, or write hidden files.
        const qsizetype names = c->arguments >= 0 ? c->arguments : 1;
        if (std::any_of(args.cbegin(), args.cbegin() + names,
                        [](const QString &a) { return a.isEmpty(); })) {
            QTextStream(stderr) << "axona: a file name is empty\nusage: axona " << c->usage << '\n';
            return ExitUsage;
        }
        return c->run(args);
    }
    if (name == QLatin1String("help") || isHelp(name)) {
        if (args.isEmpty()) {
            return overview(ExitOk);
        }
        if (const CliCommand *c = findCommand(args.at(0)); c && args.size() == 1) {
            QTextStream out(stdout);
            printCommandHelp(out, *c);
            return ExitOk;
        }
    } else if (name == QLatin1String("--version")) {
        QTextStream(stdout) << "axona " << QCoreApplication::applicationVersion() << '\n';
        return ExitOk;
    } else if (name == QLatin1String("--generate")) {
        return generate(args);
    }
    QTextStream(stderr) << "axona: unknown command " << name << "\n\n";
    return overview(ExitUsage);
}
