#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What one run of the command-line tool gave: its exit status (-1 when it did not finish
// normally in time) and what it wrote to standard output and standard error.
struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

// Runs the command-line tool ($AXONA_CLI) with arguments in folder, waiting at most two minutes.
inline CliRun runCli(const QString &folder, const QStringList &arguments)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(qEnvironmentVariable("AXONA_CLI"), arguments);
    CliRun r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        return r;
    }
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
