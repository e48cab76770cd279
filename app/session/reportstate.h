#pragma once

#include <QString>

// What the report window "Neural Report" shows; the window mirrors it on each reportChanged.
struct ReportState
{
    // The report limit: the most characters of a run report the text box receives.
    static constexpr int MaxLen = 32767;

    bool open = false; // the window exists; PNL_Layer starts at the output layer when it opens
    QString caption;
    bool layerPanelVisible = true; // PNL_Lcontrols
    bool sensPanelVisible = false; // PNL_Scontrols
    int layer = 0; // PNL_Layer
    int sensStep = 10; // PNL_Sens, percent
    bool saveEditEnabled = true; // MNU_FILE_SaveEdit, off for the sensitivity listing
    QString text; // TXT_Rep
};
