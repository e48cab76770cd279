#pragma once

#include <functional>

#include <QObject>
#include <QString>

// What the core asks of the live data links with other programs: two receiving links that feed
// the training set (which = 1) and the test set (which = 2) from another program's item, the
// program's own link server that offers the outputs texts under one topic, and the clipboard
// that carries link references. The program answers with the session bus and the system
// clipboard, the command-line tool and the tests with the bus and a clipboard of their own.
class LinkPort : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkPort)

public:
    // How an attempt to link ended: linked, no program answers to the server name (it may be
    // started), or refused or failed otherwise (the error says why).
    enum class Opened { Linked, NoServer, Failed };

    struct OpenResult
    {
        Opened result = Opened::Failed;
        QString text;
        QString error;
    };

    LinkPort();
    ~LinkPort() override;

    // Links set which to item of topic of server, ending the link the set had. On Linked the
    // item's text has arrived; every later text comes as dataArrived.
    virtual OpenResult
    open(int which, const QString &server, const QString &topic, const QString &item) = 0;
    // Ends the link of set which, if it has one.
    virtual void close(int which) = 0;
    // Lets a server program that was just started come up: calls attempt every 500 ms until it
    // returns true (then true) or the user gives up waiting (then false).
    virtual bool waitForLink(const std::function<bool()> &attempt) = 0;
    // The command-line tool that can serve a file as a link item, empty when there is none.
    virtual QString companionProgram() const = 0;

    // The program's own server name, claimed on the first call; empty when the program cannot
    // offer links (no session bus).
    virtual QString serverName() = 0;
    // Offers text as item under topic; offering under another topic first ends the old one (its
    // clients are told). False when the text cannot be offered.
    virtual bool offer(const QString &topic, const QString &item, const QString &text) = 0;
    // Ends both receiving links and stops offering, as New Net leaves the main window.
    virtual void reset() = 0;

    // Puts text on the clipboard as plain text and reference under the link type, replacing
    // what it held.
    virtual void setClipboard(const QString &text, const QString &reference) = 0;
    // The link reference the clipboard holds under the link type, or an empty text.
    virtual QString clipboardReference() const = 0;
    // The clipboard's plain text.
    virtual QString clipboardText() const = 0;

signals:
    // A new text arrived over the link of set which.
    void dataArrived(int which, const QString &text);
    // A text came over the link of set which that no set can be made of (too long); the set
    // stays as it is.
    void dataRefused(int which, const QString &why);
    // The server of set which went away or ended the link.
    void linkEnded(int which);
    // A program linked to the offered outputs ended its link.
    void clientLeft();
    // reset() ran: nothing is offered and nothing received any more.
    void wasReset();
};
