#pragma once

#include <deque>
#include <functional>
#include <optional>

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QPrinter;

// Drives the modal windows that come up while it lives, as a user would, from a timer on the
// event loop: each window gets the next step of the script. A window with no step left gets the
// fallback answer when one was given (a message box that button, or its only button, or its
// escape button; any other dialog accepted or rejected); without one it is refused (a dialog
// rejected, anything else closed) and listed as unexpected. Every window met is recorded. A
// window that had its step and is still up (it opened the next one from its step) waits until
// it is hidden: it is not the next window.
class ModalDriver final : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    // What a modal window showed when it came up.
    struct Seen
    {
        QString text; // a message box's text
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString className;
        const QPrinter *printer = nullptr; // a print or page setup dialog's printer
    };

    // Script only: windows beyond the script are refused.
    ModalDriver();
    // Windows beyond the script are answered with answer; other dialogs accepted when
    // acceptDialogs, rejected otherwise.
    explicit ModalDriver(QMessageBox::StandardButton answer, bool acceptDialogs = false);

    // The next window is a file dialog: path is typed as its name and the dialog accepted.
    ModalDriver &file(const QString &path);
    // The next window is a message box: button is clicked.
    ModalDriver &button(QMessageBox::StandardButton button);
    // The next window, whatever it is, goes to step. Steps run from the event loop, so a step
    // may open the next modal window and still see it answered.
    ModalDriver &then(Step step);

    // Every step of the script has run.
    bool done() const { return m_steps.empty() && !m_pending; }

    // Every window met, in order.
    const QList<Seen> &seen() const { return m_seen; }

    // File dialog titles and message texts that file() and button() steps answered, in order.
    const QStringList &answered() const { return m_answered; }

    // Windows the script did not expect: the text of a message box, the class of anything else.
    const QStringList &unexpected() const { return m_unexpected; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void answer();
    void refuse(QWidget *modal);
    void fallBack(QWidget *modal);

    QTimer m_timer;
    QList<QPointer<QWidget>> m_stepped; // windows that had their step and are still shown
    std::deque<Step> m_steps;
    bool m_pending = false;
    std::optional<QMessageBox::StandardButton> m_fallback;
    bool m_acceptDialogs = false;
    QList<Seen> m_seen;
    QStringList m_answered;
    QStringList m_unexpected;
};
