#include "cli/cliui.h"

#include <cstdio>

#include <QFileInfo>
#include <QProcess>

CliUi::CliUi()
    : m_err(stderr)
{}

void CliUi::setFile(const QString &dialogTitle, const QString &path)
{
    m_files.insert(dialogTitle, path);
}

QString plainLines(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            // A pair of different break characters is one break, in either order.
            if (i + 1 < text.size() && (text[i + 1] == u'\r' || text[i + 1] == u'\n')
                && text[i + 1] != c) {
                ++i;
            }
            out += u'\n';
        } else {
            out += c;
        }
    }
    return out;
}

UiPort::Answer CliUi::message(const QString &text, Icon, Buttons buttons, const QString &)
{
    m_err << plainLines(text) << '\n';
    Answer answer = Answer::Ok;
    switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        answer = Answer::Ok;
        break;
    case Buttons::YesNo:
        answer = Answer::Yes;
        m_err << "(answered Yes)\n";
        break;
    case Buttons::YesNoCancel:
        answer = Answer::No;
        m_err << "(answered No)\n";
        break;
    }
    m_err.flush();
    return answer;
}

std::optional<QString> CliUi::openFileName(const FileRequest &request)
{
    const auto it = m_files.constFind(request.title);
    if (it == m_files.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<QString> CliUi::saveFileName(const FileRequest &request)
{
    auto name = openFileName(request);
    if (name && !name->isEmpty() && QFileInfo(*name).suffix().isEmpty()
        && !request.defaultExtension.isEmpty()) {
        *name += u'.' + request.defaultExtension;
    }
    return name;
}

void CliUi::setStatus(const QString &) {}

void CliUi::setBusy(bool) {}

void CliUi::yield()
{
    if (onYield) {
        onYield();
    }
}

void CliUi::filesSaved(const QStringList &paths)
{
    QTextStream out(stdout);
    for (const QString &path : paths) {
        if (!m_saved.contains(path)) {
            m_saved.insert(path);
            out << "Saved " << path << '\n';
        }
    }
}

bool CliDesktop::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}
