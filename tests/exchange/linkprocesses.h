#pragma once

// Files and companion processes ("axona link ...") for the link tests.

#include <QFile>
#include <QProcess>
#include <QStringList>

inline QString cli()
{
    return qEnvironmentVariable("AXONA_CLI");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces a file the way many editors save: a new file renamed over the old one.
inline bool replaceFile(const QString &path, const QByteArray &bytes)
{
    const QString temp = path + QStringLiteral(".new");
    return writeFile(temp, bytes) && QFile::remove(path) && QFile::rename(temp, path);
}

// "axona link ARGS" run to its end: exit status, standard output and standard error.
struct Run
{
    int status = -1;
    QByteArray out;
    QString err;
};

inline Run link(const QStringList &args)
{
    QProcess p;
    p.start(cli(), QStringList {QStringLiteral("link")} + args);
    Run r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A companion that serves a file until the test ends.
class Server
{
public:
    // Starts "axona link serve path --server server ..." and waits for its reference.
    Server(const QString &path, const QString &server, const QStringList &more = {})
    {
        m_process.start(cli(),
                        QStringList {QStringLiteral("link"), QStringLiteral("serve"), path,
                                     QStringLiteral("--server"), server}
                                + more);
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {}
        reference = QString::fromUtf8(m_process.readLine()).trimmed();
    }

    ~Server()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    QProcess &process() { return m_process; }

    QString reference;

private:
    QProcess m_process;
};
