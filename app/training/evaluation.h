#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

class Array2;
struct NetModel;
struct Workbench;

// Quality figures of the network over one pattern set, in the network's own (normalised) units.
struct Evaluation
{
    int patterns = 0;
    int outputs = 0;
    // As the "Training Results" panel and the reports: sqrt(mean of the pattern errors squared),
    // and the patterns whose error is within the target error.
    double rms = 0.0;
    int good = 0;
    // Mean squared error of each output over the patterns.
    std::vector<double> mse;
    // Squared error percentage 100 * range * sum((o - t)^2) / (patterns * outputs), range the
    // span of the output function (of the targets for a linear output): comparable across sets
    // and networks of other output counts.
    double squaredErrorPercent = 0.0;
    // True when the targets look like classes: with two or more outputs every pattern has one
    // highest target and each output takes at most two values; with one output, at most two
    // values on either side of the threshold. The fields below are filled only then.
    bool classes = false;
    int classCount = 0;
    // The threshold a single output's class is read at: the middle of its range.
    double threshold = 0.0;
    int misclassified = 0;
    // Patterns of true class r (row) given class c (column): confusion[r * classCount + c].
    std::vector<int> confusion;
    // The classes' names, from the column names beside the set's pattern file (an imported
    // CSV file's class column), one per class; empty when there are none.
    QStringList classNames;

    double goodPercent() const { return patterns > 0 ? 100.0 * good / patterns : 0.0; }

    double classErrorPercent() const
    {
        return patterns > 0 ? 100.0 * misclassified / patterns : 0.0;
    }
};

// Accumulates the figures pattern by pattern: add() after each pattern's forward pass, then
// finish(). The training loop uses it for the test curve.
class EvaluationBuilder
{
public:
    // For the model's output layer over the first `patterns` rows of targets (read once here to
    // decide whether they are classes); both must outlive the builder.
    EvaluationBuilder(const NetModel &model, const Array2 &targets, int patterns);

    // Pattern p (1-based) after its forward pass: its error as the engine computed it; the
    // outputs are read from the model's NodeOut.
    void add(int p, float err);

    Evaluation finish() const;

private:
    // The class of pattern p's targets (outputs false) or of the network's outputs.
    int classOf(int p, bool outputs) const;

    const NetModel &m_model;
    const Array2 &m_targets;
    Evaluation m_e;
    double m_range = 1.0;
    double m_sumSquares = 0.0;
    double m_sumErrSquares = 0.0;
};

// Every pattern of the training set (test false) or the test set through the network, with the
// class names beside its file. Refuses, with the reports' messages, a set that is missing or
// does not fit, or a missing engine.
std::optional<Evaluation> evaluateSet(Workbench &wb, bool test);

// The "Evaluation" listing: the figures above as lines of text, set named by title.
QString evaluationText(const Evaluation &e, const QString &title);

// The figures as one JSON object, for scripts.
QString evaluationJson(const Evaluation &e);

// "Evaluation" of the report window's View menu: the listing for the training set and, when one
// is loaded, the test set. Returns whether a listing was made.
bool showEvaluation(Workbench &wb);
