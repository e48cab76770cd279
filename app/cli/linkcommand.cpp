#include "cli/linkcommand.h"

#include <cstdio>
#include <optional>

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QTextStream>
#include <QTimer>

#include "cli/commands.h"
#include "exchange/dbus/linkbus.h"
#include "exchange/dbus/linkclient.h"
#include "exchange/dbus/linkserver.h"
#include "exchange/itemtext.h"
#include "model/linkreference.h"
#include "model/textfile.h"

namespace {

// A saved file is read this long after the last sign of a change, so that an editor that
// writes in several steps (or replaces the file by a rename) has finished.
constexpr int SettleMs = 100;

// A server started for a link it then loses waits this long for a first client.
constexpr int FirstClientWaitMs = 60000;

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

void say(const QString &text)
{
    err() << "axona link: " << text << Qt::endl;
}

int usage(const QString &problem)
{
    if (!problem.isEmpty()) {
        say(problem);
    }
    err() << "usage: axona " << LinkUsage << Qt::endl;
    return ExitUsage;
}

// The words after the subcommand: the positional ones and the options with their values.
struct LinkArgs
{
    QStringList positional;
    QHash<QString, QString> options;
    QString problem;
};

// options maps each known option to whether it takes a value.
LinkArgs splitArgs(const QStringList &args, const QHash<QString, bool> &options)
{
    LinkArgs a;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &word = args.at(i);
        if (!word.startsWith(u'-') || word.size() == 1) {
            a.positional << word;
        } else if (!options.contains(word)) {
            a.problem = QStringLiteral("unknown option ") + word;
        } else if (!options.value(word)) {
            a.options.insert(word, QString());
        } else if (i + 1 < args.size()) {
            a.options.insert(word, args.at(++i));
        } else {
            a.problem = QStringLiteral("option %1 needs a value").arg(word);
        }
    }
    if (a.problem.isEmpty() && a.options.contains(QStringLiteral("--timeout"))
        && a.options.value(QStringLiteral("--timeout")).toInt() <= 0) {
        a.problem = QStringLiteral("--timeout needs a number of milliseconds");
    }
    return a;
}

// The --timeout value in milliseconds (splitArgs has checked it), or the default.
int timeoutOption(const LinkArgs &a)
{
    return a.options.contains(QStringLiteral("--timeout"))
            ? a.options.value(QStringLiteral("--timeout")).toInt()
            : linkbus::DefaultTimeout;
}

// Offers one file as a link item and offers it again after each save.
class FileServer final : public QObject
{
public:
    FileServer(const QString &path, const QString &topic, const QString &item)
        : m_path(QFileInfo(path).absoluteFilePath())
        , m_topic(topic)
        , m_item(item)
        , m_csv(QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0)
    {
        m_settle.setSingleShot(true);
        m_settle.setInterval(SettleMs);
        connect(&m_settle, &QTimer::timeout, this, &FileServer::reload);
        connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle,
                qOverload<>(&QTimer::start));
        connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
                qOverload<>(&QTimer::start));
    }

    // Reads the file and claims the server name; false after telling why.
    bool start(const QString &server, bool quitWhenUnlinked)
    {
        const std::optional<QString> text = read();
        if (!text) {
            return false;
        }
        m_server.publish(m_topic, m_item, *text);
        if (!m_server.start(server)) {
            say(m_server.errorText());
            return false;
        }
        m_watcher.addPath(m_path);
        m_watcher.addPath(QFileInfo(m_path).absolutePath());
        if (quitWhenUnlinked) {
            connect(&m_server, &LinkServer::clientLeft, this, [this] {
                if (m_server.clientCount(m_topic, m_item) == 0) {
                    say(QStringLiteral("the last client left"));
                    QCoreApplication::quit();
                }
            });
            QTimer::singleShot(FirstClientWaitMs, this, [this] {
                if (m_server.clientCount(m_topic, m_item) == 0) {
                    say(QStringLiteral("no client linked"));
                    QCoreApplication::quit();
                }
            });
        }
        const QString ref = formatLinkReference(m_server.serverName(), m_topic, m_item);
        QTextStream(stdout) << ref << Qt::endl;
        say(QStringLiteral("serving %1 as %2").arg(m_path, ref));
        return true;
    }

private:
    // The file as a link item, or nothing after telling why it cannot be one.
    std::optional<QString> read() const
    {
        const Result<QString> file = readTextFile(m_path);
        if (!file) {
            say(file.error().message);
            return std::nullopt;
        }
        Result<QString> text = linkItemText(file.value(), m_csv);
        if (!text) {
            say(QStringLiteral("%1 cannot be linked: %2").arg(m_path, text.error().message));
            return std::nullopt;
        }
        return std::move(text).value();
    }

    void reload()
    {
        // An editor that saves by writing a new file and renaming it over the old one leaves the
        // watcher without the file: watch it again once it is back.
        if (!QFileInfo::exists(m_path)) {
            return;
        }
        if (!m_watcher.files().contains(m_path)) {
            m_watcher.addPath(m_path);
        }
        const std::optional<QString> text = read();
        if (!text) {
            say(QStringLiteral("still offering the text read before"));
            return;
        }
        if (*text == m_server.text(m_topic, m_item)) {
            return;
        }
        m_server.publish(m_topic, m_item, *text);
        say(QStringLiteral("%1 changed: %2 characters offered").arg(m_path).arg(text->size()));
    }

    QString m_path;
    QString m_topic;
    QString m_item;
    bool m_csv;
    LinkServer m_server;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

int serve(const QStringList &args)
{
    const LinkArgs a = splitArgs(args,
                                 {{QStringLiteral("--server"), true},
                                  {QStringLiteral("--topic"), true},
                                  {QStringLiteral("--item"), true},
                                  {QStringLiteral("--quit-when-unlinked"), false}});
    if (!a.problem.isEmpty() || a.positional.size() != 1
        || !a.options.contains(QStringLiteral("--server"))) {
        return usage(a.problem.isEmpty() ? QStringLiteral("serve takes one FILE and --server NAME")
                                         : a.problem);
    }
    const QString path = a.positional.at(0);
    const QString topic =
            a.options.value(QStringLiteral("--topic"), QFileInfo(path).absoluteFilePath());
    const QString item = a.options.value(QStringLiteral("--item"), QStringLiteral("data"));
    FileServer server(path, topic, item);
    if (!server.start(a.options.value(QStringLiteral("--server")),
                      a.options.contains(QStringLiteral("--quit-when-unlinked")))) {
        return ExitFailed;
    }
    return QCoreApplication::exec() == 0 ? ExitOk : ExitFailed;
}

// The reference named on the command line, or nothing after telling why it is none.
std::optional<LinkReference> reference(const QString &text)
{
    std::optional<LinkReference> ref = parseLinkReference(text);
    if (!ref) {
        say(QStringLiteral("\"%1\" is not a link reference (server|topic!item)").arg(text));
    }
    return ref;
}

int get(const QStringList &args)
{
    const LinkArgs a = splitArgs(args, {{QStringLiteral("--timeout"), true}});
    const int timeout = timeoutOption(a);
    if (!a.problem.isEmpty() || a.positional.size() != 1) {
        return usage(a.problem.isEmpty() ? QStringLiteral("get takes one REF") : a.problem);
    }
    const std::optional<LinkReference> ref = reference(a.positional.at(0));
    if (!ref) {
        return ExitFailed;
    }
    const LinkFetch fetched = fetchLinkItem(ref->server, ref->topic, ref->item, timeout);
    if (fetched.status != LinkStatus::Linked) {
        say(fetched.error);
        return ExitFailed;
    }
    QTextStream(stdout) << fetched.text << Qt::flush;
    return ExitOk;
}

int watch(const QStringList &args)
{
    const LinkArgs a =
            splitArgs(args, {{QStringLiteral("-o"), true}, {QStringLiteral("--timeout"), true}});
    const int timeout = timeoutOption(a);
    if (!a.problem.isEmpty() || a.positional.size() != 1) {
        return usage(a.problem.isEmpty() ? QStringLiteral("watch takes one REF") : a.problem);
    }
    const std::optional<LinkReference> ref = reference(a.positional.at(0));
    if (!ref) {
        return ExitFailed;
    }
    const QString output = a.options.value(QStringLiteral("-o"));
    const auto show = [&output](const QString &text) {
        if (output.isEmpty()) {
            QTextStream(stdout) << text << Qt::flush;
            return true;
        }
        const Status written = writeTextFile(output, text);
        if (!written) {
            say(written.error().message);
        }
        return written.ok();
    };
    LinkClient client;
    if (client.open(ref->server, ref->topic, ref->item, timeout) != LinkStatus::Linked) {
        say(client.errorText());
        return ExitFailed;
    }
    if (!show(client.text())) {
        return ExitFailed;
    }
    QObject::connect(&client, &LinkClient::updated, &client, [&show](const QString &text) {
        if (!show(text)) {
            QCoreApplication::exit(1);
        }
    });
    QObject::connect(&client, &LinkClient::refused, &client,
                     [](const QString &why) { say(why + QStringLiteral("; update ignored")); });
    QObject::connect(&client, &LinkClient::terminated, &client, [&ref] {
        say(QStringLiteral("the link ended: %1 went away or closed it").arg(ref->server));
        QCoreApplication::exit(1);
    });
    return QCoreApplication::exec() == 0 ? ExitOk : ExitFailed;
}

} // namespace

int runLink(const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == u"serve") {
        return serve(args.mid(1));
    }
    if (sub == u"get") {
        return get(args.mid(1));
    }
    if (sub == u"watch") {
        return watch(args.mid(1));
    }
    return usage(sub.isEmpty() ? QString() : QStringLiteral("unknown link command ") + sub);
}
