#include "plots/widgets/picturefiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {

// A PDF page as large as the picture at the screen's usual 96 dots per inch.
constexpr int PdfResolution = 96;

void paintSvg(QIODevice &device, const PicturePainter &paint, QSize size, const QString &title)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter(&svg);
    paint(painter, QRectF(QPointF(0, 0), size));
}

bool paintPdf(QIODevice &device, const PicturePainter &paint, QSize size, const QString &title)
{
    QPdfWriter pdf(&device);
    pdf.setTitle(title);
    pdf.setResolution(PdfResolution);
    const QSizeF points = QSizeF(size) * 72.0 / PdfResolution;
    pdf.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        return false;
    }
    paint(painter, QRectF(QPointF(0, 0), size));
    return painter.end();
}

} // namespace

QImage pictureImage(const PicturePainter &paint, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(QPointF(0, 0), size));
    return image;
}

QByteArray pictureSvg(const PicturePainter &paint, QSize size, const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    paintSvg(buffer, paint, size, title);
    return bytes;
}

QMimeData *pictureMimeData(const PicturePainter &paint, QSize size, const QString &title)
{
    auto *mime = new QMimeData;
    mime->setImageData(pictureImage(paint, size));
    mime->setData(QStringLiteral("image/svg+xml"), pictureSvg(paint, size, title));
    return mime;
}

PictureFormat pictureFormat(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png") {
        return PictureFormat::Png;
    }
    if (suffix == u"svg") {
        return PictureFormat::Svg;
    }
    if (suffix == u"pdf") {
        return PictureFormat::Pdf;
    }
    return PictureFormat::None;
}

QString
writePictureFile(const QString &path, QSize size, const QString &title, const PicturePainter &paint)
{
    const PictureFormat format = pictureFormat(path);
    if (format == PictureFormat::None) {
        return QStringLiteral("Unknown picture type (use .png, .svg or .pdf): ") + path;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString();
    }
    bool painted = true;
    switch (format) {
    case PictureFormat::Png:
        painted = pictureImage(paint, size).save(&file, "PNG");
        break;
    case PictureFormat::Svg:
        paintSvg(file, paint, size, title);
        break;
    case PictureFormat::Pdf:
        painted = paintPdf(file, paint, size, title);
        break;
    case PictureFormat::None:
        break;
    }
    if (!painted || !file.commit()) {
        return QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString();
    }
    return {};
}

bool printPicture(QPrinter &printer, const PicturePainter &paint)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    paint(painter, page);
    return painter.end();
}

PrintOutcome printWithDialog(QPrinter &printer, QWidget *parent, const PicturePainter &paint)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) {
        return PrintOutcome::Cancelled;
    }
    return printPicture(printer, paint) ? PrintOutcome::Printed : PrintOutcome::Failed;
}
