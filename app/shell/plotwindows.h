#pragma once

class CorvelWindow;
class QPrinter;
class WindowRegistry;
struct Workbench;

// Registers the plot windows ("PLOTW" Weights Plot, "PLOTOUT" Plot Outputs, "NET_LAYOUT" Net
// Layout) with the Plot menu items and toolbar buttons that bring them up, and connects "Input
// &Sensitivity" of the Plot menu to the sensitivity plot. Each window draws when it first comes
// up; Net Layout draws again every time it is asked for. printer is the session's.
void registerPlotWindows(WindowRegistry &windows,
                         Workbench &wb,
                         QPrinter &printer,
                         CorvelWindow &corvel);
