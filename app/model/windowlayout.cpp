#include "model/windowlayout.h"

namespace {

int32_t twips(int pixels)
{
    return static_cast<int32_t>(pixels) * TwipsPerPixel;
}

// Rounded to the nearest pixel, so that records written by other screens land close.
int pixels(int32_t twips)
{
    const int32_t half = TwipsPerPixel / 2;
    return static_cast<int>((twips >= 0 ? twips + half : twips - half) / TwipsPerPixel);
}

} // namespace

WindowLayout layoutRecord(const QString &tag, int state, const QRect &geometry)
{
    WindowLayout w;
    w.tag = tag;
    w.state = static_cast<int16_t>(state);
    w.top = twips(geometry.top());
    w.left = twips(geometry.left());
    w.height = twips(geometry.height());
    w.width = twips(geometry.width());
    return w;
}

QRect layoutPixels(const WindowLayout &record)
{
    return {pixels(record.left), pixels(record.top), pixels(record.width), pixels(record.height)};
}

QString layoutTag(const QString &tag)
{
    return tag.trimmed().toUpper();
}
