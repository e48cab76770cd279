#include "exchange/widgets/desktoplinkport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "exchange/widgets/waitforlinkdialog.h"
#include "model/linkreference.h"

DesktopLinkPort::DesktopLinkPort(QWidget *window, QObject *parent)
    : DbusLinkPort(parent)
    , m_window(window)
{}

bool DesktopLinkPort::waitForLink(const std::function<bool()> &attempt)
{
    WaitForLinkDialog dialog(attempt, m_window);
    return dialog.exec() == QDialog::Accepted;
}

void DesktopLinkPort::setClipboard(const QString &text, const QString &reference)
{
    auto *data = new QMimeData;
    data->setText(text);
    if (!reference.isEmpty()) {
        data->setData(linkReferenceMimeType(), reference.toUtf8());
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

QString DesktopLinkPort::clipboardReference() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(linkReferenceMimeType())) {
        return QString();
    }
    // Only what reads as a reference is one; anything else on the clipboard under our type is
    // ignored.
    const QString text =
            QString::fromUtf8(data->data(linkReferenceMimeType()).left(MaxLinkReferenceLength * 4));
    return parseLinkReference(text) ? text.trimmed() : QString();
}

QString DesktopLinkPort::clipboardText() const
{
    return QGuiApplication::clipboard()->text();
}
