#pragma once

#include <QPicture>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

struct NetDrawing;
class QPainter;

// Records the network drawing into a picture in its 32767 x 32767 logical space: solid pens (the
// connections one device pixel wide), solid or no brushes, text in "Arial" on a transparent
// background.
QPicture recordNetPicture(const NetDrawing &drawing);

// Replays the picture into viewport with equal scale on both axes: at zoom 1 the whole logical
// space fits the viewport's shorter side, zoom 2 shows it twice as large; scroll is the logical
// point shown at the viewport's top-left corner.
void paintNetPicture(QPainter &painter,
                     const QPicture &picture,
                     const QRectF &viewport,
                     double zoom = 1.0,
                     QPointF scroll = QPointF());

// The usual size of a network picture written to a file, in pixels.
constexpr QSize NetFileSize(900, 900);

// Writes the picture, the whole logical space at zoom 1, to a PNG, SVG or PDF file after the
// extension of path. Returns an empty text, or why it failed.
QString writeNetPictureFile(const QPicture &picture, const QString &path, QSize size = NetFileSize);
