#include "gui/clickablelabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

ClickableLabel::ClickableLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

QSize ClickableLabel::sizeHint() const
{
    return minimumSizeHint();
}

QSize ClickableLabel::minimumSizeHint() const
{
    // Room for the no-file caption; a longer name is elided.
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("Click here to Open File")) + m.left()
                    + m.right() + 2 * margin() + 8,
            QLabel::minimumSizeHint().height()};
}

void ClickableLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QStylePainter painter(this);
    const QRect area = contentsRect().adjusted(margin() + 3, margin(), -margin() - 3, -margin());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    painter.drawItemText(area, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), shown,
                         foregroundRole());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = contentsRect();
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
