#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

// The program's own help: its HTML pages in a browser window with Contents, Back and Forward.
// One window per owner, a separate top-level window that stays with the owner.
class HelpWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    explicit HelpWindow(QWidget *owner);
    ~HelpWindow() override;

    QTextBrowser *browser() const { return m_browser; }

    // The contents page the help opens on.
    static QUrl contentsUrl();

private:
    QTextBrowser *m_browser;
};

// "&Help": shows owner's help window on the contents page, creating it on first use.
HelpWindow *showHelp(QWidget *owner);

// Closes owner's help window, if one is open (the program is ending).
void closeHelp(QWidget *owner);
