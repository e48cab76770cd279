#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QStringList>

#include "session/uiport.h"

// A UiPort for tests: records every message, file request and status text, and answers from
// queues the test fills. A box with only an OK button answers itself; a question or a file
// dialog with nothing queued fails the running test.
class ScriptedUi final : public UiPort
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        Buttons buttons;
        QString title;
    };

    Answer message(const QString &text, Icon icon, Buttons buttons, const QString &title) override;
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    void setStatus(const QString &text) override;
    void setBusy(bool busy) override;
    void yield() override;

    // Queue the answer to the next question, and the next file dialog's result.
    void answer(Answer a) { m_answers.push_back(a); }

    void file(const QString &path) { m_files.push_back({false, path}); }

    void cancelFile() { m_files.push_back({true, QString()}); }

    // Texts of every message shown so far, oldest first.
    QStringList texts() const;

    const std::vector<Shown> &shown() const { return m_shown; }

    const std::vector<FileRequest> &fileRequests() const { return m_fileRequests; }

    const QStringList &statuses() const { return m_statuses; }

    int busyDepth() const { return m_busy; }

    int yields() const { return m_yields; }

    void clear();

    // Runs at every yield(), e.g. to press Stop at the third training iteration.
    std::function<void()> onYield;

private:
    std::deque<Answer> m_answers;

    struct FileAnswer
    {
        bool cancel;
        QString path;
    };

    std::deque<FileAnswer> m_files;
    std::vector<Shown> m_shown;
    std::vector<FileRequest> m_fileRequests;
    QStringList m_statuses;
    int m_busy = 0;
    int m_yields = 0;
};
