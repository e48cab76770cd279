#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// The one way the core reaches a person: message boxes, file dialogs, the status bar, the busy
// pointer and the event queue. The program implements it with real widgets; tests script it.
class UiPort
{
public:
    enum class Icon { None, Critical, Exclamation, Information, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    // What a file dialog needs: title, filter ("Net Files (*.net)|*.net" style is the caller's
    // business, given here as a Qt filter string), default extension without the dot, and the
    // initial name or folder.
    struct FileRequest
    {
        QString title;
        QString filter;
        QString defaultExtension;
        QString initialName;
    };

    virtual ~UiPort();

    // Modal message box titled "Axona" (or title when given); returns the button pressed.
    virtual Answer message(const QString &text,
                           Icon icon,
                           Buttons buttons = Buttons::Ok,
                           const QString &title = QString()) = 0;
    // An existing file to open, or nothing when the user cancels.
    virtual std::optional<QString> openFileName(const FileRequest &request) = 0;
    // A file to write (the dialog confirms overwriting), or nothing when the user cancels.
    virtual std::optional<QString> saveFileName(const FileRequest &request) = 0;
    // First panel of the status bar; an empty text clears it.
    virtual void setStatus(const QString &text) = 0;
    // Hourglass pointer on (nested calls count) and off.
    virtual void setBusy(bool busy) = 0;
    // Lets the event queue run: Stop, timers and repaints during long work.
    virtual void yield() = 0;
    // A save wrote these files (a network and its weights, a set, a report): by default the
    // status bar names them, "Saved a.net and a.wgt".
    virtual void filesSaved(const QStringList &paths);

    // Shorthands for the common boxes.
    void critical(const QString &text) { message(text, Icon::Critical); }

    void exclamation(const QString &text) { message(text, Icon::Exclamation); }

    void information(const QString &text) { message(text, Icon::Information); }

    Answer question(const QString &text, Buttons buttons)
    {
        return message(text, Icon::Question, buttons);
    }
};

// Shows the busy pointer for the lifetime of the guard, restoring the previous one at the end.
class BusyGuard
{
public:
    explicit BusyGuard(UiPort &ui)
        : m_ui(ui)
    {
        m_ui.setBusy(true);
    }

    ~BusyGuard() { m_ui.setBusy(false); }

    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    UiPort &m_ui;
};
