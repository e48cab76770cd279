#include "shell/filecommands.h"

#include "model/netfile.h"
#include "model/uiport.h"
#include "model/weightfile.h"
#include "model/workbench.h"

FileResult saveNetCommand(Workbench &wb)
{
    const NetModel &m = wb.model;
    return m.HasNetFile ? saveNet(wb, false, m.NetFileName) : saveNet(wb, true);
}

FileResult saveWeightsCommand(Workbench &wb)
{
    if (!wb.model.HasWeightFile) {
        return {FileOutcome::Cancelled, QString()};
    }
    return saveWeights(wb, false, wb.form.text(QStringLiteral("LBL_WeightFile")));
}

bool mayClose(Workbench &wb)
{
    if (!wb.model.WeightsChanged) {
        return true;
    }
    switch (wb.ui.question(QStringLiteral("Save Net Before Quiting"),
                           UiPort::Buttons::YesNoCancel)) {
    case UiPort::Answer::Yes:
        if (saveNetCommand(wb).done()) {
            return true;
        }
        // A cancelled weight dialog clears the flag, but the network was not saved: the next
        // close must ask again.
        wb.model.WeightsChanged = true;
        return false;
    case UiPort::Answer::No:
        return true;
    default:
        return false;
    }
}

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
