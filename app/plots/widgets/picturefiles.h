#pragma once

#include <functional>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QMimeData;
class QPainter;
class QPrinter;
class QRectF;
class QWidget;

// Paints a picture (a chart, the network drawing) into target, keeping its proportions.
using PicturePainter = std::function<void(QPainter &painter, const QRectF &target)>;

// The picture on a white image of size pixels.
QImage pictureImage(const PicturePainter &paint, QSize size);

// The picture as an SVG document of size pixels.
QByteArray pictureSvg(const PicturePainter &paint, QSize size, const QString &title);

// Clipboard contents holding the picture twice: as an image and as SVG ("image/svg+xml").
QMimeData *pictureMimeData(const PicturePainter &paint, QSize size, const QString &title);

// The picture types a file name can ask for, by its extension.
enum class PictureFormat { None, Png, Svg, Pdf };
PictureFormat pictureFormat(const QString &path);

// Writes the picture, size pixels large, to path as PNG, SVG or PDF (a page of the picture's
// proportions) after its extension; the file is replaced only once complete. Returns an empty
// text, or why it failed.
QString writePictureFile(const QString &path,
                         QSize size,
                         const QString &title,
                         const PicturePainter &paint);

// Prints the picture on one page of printer, as large as the page allows with its proportions
// kept (a printer set to PDF with an output file writes that file). False when the printer could
// not be started.
bool printPicture(QPrinter &printer, const PicturePainter &paint);

enum class PrintOutcome { Printed, Cancelled, Failed };

// The print dialog on printer (owned by parent), then printPicture; Failed when the printer could
// not be started.
PrintOutcome printWithDialog(QPrinter &printer, QWidget *parent, const PicturePainter &paint);
