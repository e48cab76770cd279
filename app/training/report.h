#pragma once

#include <functional>
#include <optional>

#include <QString>

struct Workbench;

// The report window was closed: the next report opens it afresh.
void closeReport(Workbench &wb);

// "Run Net" (test false) or "Test Net" (test true): every pattern of the set through the network,
// one line per pattern listing layer PNL_Layer's outputs (for the output layer each output beside
// its target, in data units when the data are normalised, then the error and "+" or "-"), headed
// by the RMS error and the good percentage. A text longer than MaxLen is cut, with a message.
// Refuses, with a message, a set that is missing or does not match the network. Returns whether
// a report was made.
bool runNet(Workbench &wb, bool test);

// The report window's layer spinner UpDown1 (2..NumLayers), then the listing of ReportMode is
// rebuilt: the test report, the weights, the weight changes, anything else the run report.
void spinReportLayer(Workbench &wb, bool up);

// The output-layer lines of the run (test false) or test report, every pattern, no header and no
// length limit, each ended by CRLF; nothing when the set is missing or does not fit.
std::optional<QString> runReportText(Workbench &wb, bool test);

// "&Save As...": asks for a ".res" file (and before overwriting one), then writes the report of
// ReportMode: the full test or run report, or the listing shown for the weights or their changes.
// Returns the file written, or an empty name when cancelled or failed (the failure is shown).
QString saveReport(Workbench &wb);

// "Save and &Edit...": saveReport, then startEditor with the file written. Not available for the
// sensitivity listing.
void saveAndEditReport(Workbench &wb, const std::function<void(const QString &path)> &startEditor);
