#pragma once

#include <cstdint>

#include <QRect>
#include <QString>

// One window's place on the desktop, as the network file keeps it: its tag ("MDI", "CPL",
// "PLOTW", ...), state (0 normal, 1 minimised, 2 maximised) and geometry in twips.
struct WindowLayout
{
    QString tag;
    int16_t state = 0;
    int32_t top = 0;
    int32_t left = 0;
    int32_t height = 0;
    int32_t width = 0;
};

// Window layouts are kept in twips, 15 to the pixel at 96 dpi.
inline constexpr int TwipsPerPixel = 15;

// A window's layout record from its tag, state (0 normal, 1 minimised, 2 maximised) and
// geometry in pixels.
WindowLayout layoutRecord(const QString &tag, int state, const QRect &geometry);

// A record's geometry in pixels.
QRect layoutPixels(const WindowLayout &record);

// A recorded geometry made to fit area (a screen's free space, or the frame's inside): a width
// or height that is not positive takes fallback's, one larger than area is cut to it, and the
// place moves just enough to put the whole rectangle inside area. Network files from other
// screens, or edited by hand, cannot ask for a window off the screen or of any size.
QRect fitToArea(const QRect &wanted, const QRect &area, const QSize &fallback);

// A tag as windows are found by it: upper-cased, without surrounding blanks.
QString layoutTag(const QString &tag);
