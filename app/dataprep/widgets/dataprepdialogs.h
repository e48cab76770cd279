#pragma once

class QtUiPort;
class QWidget;
struct Workbench;

// "&Normalize...": the Normalize Data dialog on the core's normalisation workflow, modal; its
// progress texts go to the dialog's own status bar while it is open.
void runNormalizeDialog(Workbench &wb, QtUiPort &ui, QWidget *parent);

// "&Create Test...": the Create Test dialog on the core's test-set creation, modal.
void runCreateTestDialog(Workbench &wb, QtUiPort &ui, QWidget *parent);
