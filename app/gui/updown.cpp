#include "gui/updown.h"

#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (auto [button, arrow] :
         {std::pair {m_up, Qt::UpArrow}, std::pair {m_down, Qt::DownArrow}}) {
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFixedSize(18, 12);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    connect(m_up, &QToolButton::clicked, this, &UpDown::upClicked);
    connect(m_down, &QToolButton::clicked, this, &UpDown::downClicked);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}
