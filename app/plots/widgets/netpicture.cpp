#include "plots/widgets/netpicture.h"

#include <algorithm>

#include <QFont>
#include <QPainter>

#include "plots/netdrawing.h"
#include "plots/widgets/picturefiles.h"

namespace {

QColor colour(const Rgb &rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

QFont arial(int height)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferQuality);
    font.setWeight(QFont::Normal);
    font.setPixelSize(std::max(height, 1));
    return font;
}

} // namespace

QPicture recordNetPicture(const NetDrawing &drawing)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const DrawItem &item : drawing.items) {
        // Width 0: one device pixel whatever the scale.
        painter.setPen(QPen(colour(item.pen), 0));
        painter.setBrush(item.filled ? QBrush(colour(item.brush)) : QBrush(Qt::NoBrush));
        const QRectF box(QPointF(item.a), QPointF(item.b));
        switch (item.kind) {
        case DrawItem::Kind::Line:
            painter.drawLine(item.a, item.b);
            break;
        case DrawItem::Kind::Ellipse:
            painter.drawEllipse(box);
            break;
        case DrawItem::Kind::Rect:
            painter.drawRect(box);
            break;
        case DrawItem::Kind::Text:
            painter.setFont(arial(item.fontHeight));
            painter.drawText(QRectF(QPointF(item.a), QSizeF(NetSpace, item.fontHeight * 2)),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, item.text);
            break;
        }
    }
    painter.end();
    // The picture spans the whole logical space, whatever it holds.
    picture.setBoundingRect(QRect(0, 0, NetSpace, NetSpace));
    return picture;
}

void paintNetPicture(QPainter &painter,
                     const QPicture &picture,
                     const QRectF &viewport,
                     double zoom,
                     QPointF scroll)
{
    painter.save();
    const double scale = zoom * std::min(viewport.width(), viewport.height()) / NetSpace;
    painter.translate(viewport.topLeft());
    painter.scale(scale, scale);
    painter.translate(-scroll);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

QString writeNetPictureFile(const QPicture &picture, const QString &path, QSize size)
{
    return writePictureFile(path, size, QStringLiteral("Net Layout"),
                            [&picture](QPainter &painter, const QRectF &target) {
                                paintNetPicture(painter, picture, target);
                            });
}
