#include "model/windowlayout.h"

#include <algorithm>

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

QRect fitToArea(const QRect &wanted, const QRect &area, const QSize &fallback)
{
    const auto fit = [](int size, int fallbackSize, int room) {
        return std::clamp(size > 0 ? size : fallbackSize, std::min(1, room), room);
    };
    const int w = fit(wanted.width(), fallback.width(), area.width());
    const int h = fit(wanted.height(), fallback.height(), area.height());
    const int x = std::clamp(wanted.x(), area.x(), area.x() + area.width() - w);
    const int y = std::clamp(wanted.y(), area.y(), area.y() + area.height() - h);
    return {x, y, w, h};
}

QString layoutTag(const QString &tag)
{
    return tag.trimmed().toUpper();
}
