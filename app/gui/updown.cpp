#include "gui/updown.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    // Room around the arrows for the focus frame.
    layout->setContentsMargins(2, 2, 2, 2);
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
    setFocusPolicy(Qt::StrongFocus);
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        m_up->click();
        break;
    case Qt::Key_Down:
        m_down->click();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void UpDown::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (hasFocus()) {
        QStylePainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
