#pragma once

#include <QPointer>

#include "session/uiport.h"

class QLabel;
class QWidget;

// The program's UI port: real message boxes and file dialogs over the given parent window, the
// status text in a status-bar panel, and the application-wide busy pointer.
class QtUiPort final : public UiPort
{
public:
    // parent owns the dialogs; statusPanel shows the status texts (either may be null).
    explicit QtUiPort(QWidget *parent = nullptr, QLabel *statusPanel = nullptr);
    ~QtUiPort() override;
    QtUiPort(const QtUiPort &) = delete;
    QtUiPort &operator=(const QtUiPort &) = delete;

    // Dialogs with their own status bar (normalisation, test creation) take the status texts
    // while they are open; null gives them back to the frame's panel.
    void setStatusPanel(QLabel *panel);

    QLabel *statusPanel() const { return m_statusPanel; }

    void setDialogParent(QWidget *parent);

    Answer message(const QString &text,
                   Icon icon,
                   Buttons buttons = Buttons::Ok,
                   const QString &title = QString()) override;
    std::optional<QString> openFileName(const FileRequest &request) override;
    std::optional<QString> saveFileName(const FileRequest &request) override;
    void setStatus(const QString &text) override;
    void setBusy(bool busy) override;
    void yield() override;

    // The program's messages break lines with CR, LF+CR or CR+LF; a message box wants LF.
    static QString displayText(const QString &text);
    // "Pattern Files (*.pat)|*.pat|Data Files (*.dat)|*.dat" pairs become Qt name filters;
    // a filter that is already in Qt's form passes unchanged.
    static QStringList nameFilters(const QString &filter);

private:
    std::optional<QString> fileName(const FileRequest &request, bool save);

    QPointer<QWidget> m_parent;
    QPointer<QLabel> m_statusPanel;
    QPointer<QLabel> m_framePanel;
    int m_busyDepth = 0;
};
