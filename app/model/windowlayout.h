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

// A tag as windows are found by it: upper-cased, without surrounding blanks.
QString layoutTag(const QString &tag);
