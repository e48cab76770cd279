#include "scriptedui.h"

#include <QTest>

UiPort::Answer ScriptedUi::message(const QString &text, Icon icon, Buttons buttons,
                                   const QString &title)
{
    m_shown.push_back({text, icon, buttons, title});
    if (buttons == Buttons::Ok && m_answers.empty()) {
        return Answer::Ok;
    }
    if (m_answers.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__,
                     __LINE__);
        return Answer::Cancel;
    }
    const Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

std::optional<QString> ScriptedUi::openFileName(const FileRequest &request)
{
    m_fileRequests.push_back(request);
    if (m_files.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted file dialog: ") + request.title),
                     __FILE__, __LINE__);
        return std::nullopt;
    }
    const FileAnswer f = m_files.front();
    m_files.pop_front();
    if (f.cancel) {
        return std::nullopt;
    }
    return f.path;
}

std::optional<QString> ScriptedUi::saveFileName(const FileRequest &request)
{
    return openFileName(request);
}

void ScriptedUi::setStatus(const QString &text)
{
    m_statuses.append(text);
}

void ScriptedUi::setBusy(bool busy)
{
    m_busy += busy ? 1 : -1;
}

void ScriptedUi::yield()
{
    ++m_yields;
    if (onYield) {
        onYield();
    }
}

QStringList ScriptedUi::texts() const
{
    QStringList out;
    for (const auto &s : m_shown) {
        out.append(s.text);
    }
    return out;
}

void ScriptedUi::clear()
{
    m_answers.clear();
    m_files.clear();
    m_shown.clear();
    m_fileRequests.clear();
    m_statuses.clear();
    m_yields = 0;
}
