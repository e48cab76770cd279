#include "exchange/widgets/waitforlinkdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WaitForLinkDialog::WaitForLinkDialog(std::function<bool()> attempt, QWidget *parent)
    : QDialog(parent)
    , m_attempt(std::move(attempt))
{
    setObjectName(QStringLiteral("FRM_WaitForLink"));
    setWindowTitle(QStringLiteral("Axona"));
    setModal(true);
    auto *text = new QLabel(QStringLiteral(" Waiting for DDE link to complete"), this);
    text->setObjectName(QStringLiteral("LBL_Wait"));
    auto *cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("BTN_Cancel"));
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &WaitForLinkDialog::tryLink);
    m_timer.start();
}

void WaitForLinkDialog::tryLink()
{
    // An attempt waits for the server's answer with the event loop running: no second attempt
    // meanwhile.
    m_timer.stop();
    if (m_attempt()) {
        accept();
        return;
    }
    if (isVisible()) {
        m_timer.start();
    }
}
