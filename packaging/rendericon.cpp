#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

// Build tool: renders the application icon's SVG to square PNGs for the desktop's icon theme.
// Usage: axona_rendericon ICON.svg SIZE OUT.png [SIZE OUT.png]...
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() < 4 || args.size() % 2 != 0) {
        err << "usage: axona_rendericon ICON.svg SIZE OUT.png [SIZE OUT.png]...\n";
        return 2;
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        err << "axona_rendericon: cannot read " << args.at(1) << '\n';
        return 1;
    }
    for (qsizetype i = 2; i < args.size(); i += 2) {
        const int size = args.at(i).toInt();
        if (size <= 0) {
            err << "axona_rendericon: bad size " << args.at(i) << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            svg.render(&painter);
        }
        if (!image.save(args.at(i + 1), "PNG")) {
            err << "axona_rendericon: cannot write " << args.at(i + 1) << '\n';
            return 1;
        }
    }
    return 0;
}
