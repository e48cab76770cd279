#pragma once

#include <cstdint>

#include <QObject>

// What one training iteration measured, as the "Training Results" panel shows it.
struct IterationResult
{
    int64_t iterations = 0; // IterCount
    float epochs = 0.0f; // IterCount x EpochsPerCall, the "Iterations:" value
    int64_t engineCalls = 0; // training calls of the run so far, one per epoch window
    float rms = 0.0f;
    int16_t good = 0;
    float goodPercent = 0.0f;
    // The test set's figures, measured every iteration beside the training figures when a test
    // set is loaded (testPatterns > 0): the test curve and what keep-best chooses by.
    int testPatterns = 0;
    float testRms = 0.0f;
    // Misclassified test patterns as last counted (a pass of its own, taken when the panel
    // shows an iteration, at most about once a second, and at the end); -1 when the test
    // targets are not classes or nothing was counted yet.
    int testMisclassified = -1;
};

// What changed on the workbench, for the windows that show it (report, plots, network drawing)
// and the link servers that publish it: they subscribe here instead of being called by name.
// Every signal is emitted on the GUI thread, the only thread of the core, from inside the
// workflow that made the change and after the main window's controls show it; a slot sees the
// model as it is at that moment.
class WorkbenchEvents final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WorkbenchEvents)

public:
    explicit WorkbenchEvents(QObject *parent = nullptr);

signals:
    // A training iteration ended: the RMS history holds its point. The "Training Results" labels
    // follow at most about 30 times a second, so they may still show an earlier iteration.
    // Emitted by the training loop between two engine calls, once per iteration.
    void iterationDone(const IterationResult &result);
    // The network arrays were allocated anew from the layer list (New Net, a layer change, Open
    // Net): sizes may differ. weightsChanged follows for its fresh weights.
    void networkRebuilt();
    // The weights hold new values, other than by one training iteration: a build, Randomize, a
    // weight file read, the end of a training run.
    void weightsChanged();
    // The training or test set changed: read from a file, pasted, dropped, normalised or split by
    // Create Test.
    void dataChanged();
    // What the report window shows (the workbench's ReportState) changed: the window comes up
    // and shows it.
    void reportChanged();
};
