#pragma once

#include "exchange/dbus/dbuslinkport.h"

class QWidget;

// The program's data links: the session bus, the system clipboard (the values as text and the
// link reference under the link type beside them) and the wait dialog FRM_WaitForLink over the
// main window.
class DesktopLinkPort final : public DbusLinkPort
{
    Q_OBJECT

public:
    explicit DesktopLinkPort(QWidget *window, QObject *parent = nullptr);

    bool waitForLink(const std::function<bool()> &attempt) override;
    void setClipboard(const QString &text, const QString &reference) override;
    QString clipboardReference() const override;
    QString clipboardText() const override;

private:
    QWidget *m_window;
};
