#pragma once

#include <tuple>
#include <utility>
#include <vector>

#include <QStringList>
#include <QTest>

#include "linkedengine.h"
#include "session/commandstate.h"
#include "training/construction.h"

// Rows of a pattern set: one vector of column values per pattern.
using Rows = std::vector<std::vector<float>>;

// Builds the network of the given layer sizes (all Sigmoid unless funcs says otherwise, input
// layer first).
inline bool
buildNet(Workbench &wb, const QStringList &sizes, const std::vector<int16_t> &funcs = {})
{
    wb.form.setText(QStringLiteral("PNL_Layers"), QString::number(sizes.size()));
    wb.form.setItems(QStringLiteral("CMB_LayerSize"), sizes);
    wb.model.NeuronFunc.resize(int(sizes.size()));
    for (int l = 1; l <= int(sizes.size()); ++l) {
        wb.model.NeuronFunc(l) = l - 1 < int(funcs.size()) ? funcs[std::size_t(l - 1)] : 1;
    }
    return buildNetwork(wb);
}

inline void fillArray(Array2 &a, const Rows &rows)
{
    const int cols = rows.empty() ? 0 : int(rows.front().size());
    a.allocate(int(rows.size()), cols);
    for (int p = 1; p <= int(rows.size()); ++p) {
        for (int c = 1; c <= cols; ++c) {
            a(p, c) = rows[std::size_t(p - 1)][std::size_t(c - 1)];
        }
    }
}

// Hands the model a training set as a loaded pattern file leaves it: epoch length = the count.
inline void setPatterns(Workbench &wb, const Rows &in, const Rows &out)
{
    NetModel &m = wb.model;
    fillArray(m.PatIn, in);
    fillArray(m.PatOut, out);
    m.NumPats = int16_t(in.size());
    m.HasPatterns = true;
    wb.form.setText(QStringLiteral("TXT_EpocLen"), QString::number(m.NumPats));
    wb.form.setEnabled(QStringLiteral("TXT_EpocLen"), true);
    updateFileCommands(wb);
    updateTrainCommands(wb);
}

inline void setTestSet(Workbench &wb, const Rows &in, const Rows &out)
{
    NetModel &m = wb.model;
    fillArray(m.TstIn, in);
    fillArray(m.TstOut, out);
    m.NumTestPats = int16_t(in.size());
    m.HasTest = true;
    wb.form.setEnabled(QStringLiteral("CHK_ShowTestErr"), true);
    updateTrainCommands(wb);
}

// The weights into node j of layer l, bias last.
inline void setWeights(NetModel &m, int l, int j, const std::vector<float> &w)
{
    for (int i = 1; i <= int(w.size()); ++i) {
        m.Weights(l, i, j) = w[std::size_t(i - 1)];
    }
}

// A 2-input, 2-output linear net without hidden layer: y1 = x1/4 + x2/2, y2 = x2/2 - 1/2, on
// the patterns (1, 2) -> (0.5, 1) and (0, 1) -> (0.5, 0).
inline void setUpTwoOutputs(Workbench &wb)
{
    QVERIFY(buildNet(wb, {"2", "2"}, {1, 2}));
    setWeights(wb.model, 2, 1, {0.25f, 0.5f, 0.0f});
    setWeights(wb.model, 2, 2, {0.0f, 0.5f, -0.5f});
    setPatterns(wb, {{1, 2}, {0, 1}}, {{0.5f, 1.0f}, {0.5f, 0.0f}});
}

inline const Rows &xorInputs()
{
    static const Rows rows {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    return rows;
}

inline const Rows &xorTargets()
{
    static const Rows rows {{0}, {1}, {1}, {0}};
    return rows;
}

// Engine calls made through a counting routine table, per routine, and the windows of the
// training calls.
struct EngineCalls
{
    static inline int bp = 0;
    static inline int qp = 0;
    static inline int calcerr = 0;
    static inline int calcnet = 0;
    static inline std::vector<std::pair<int, int>> windows;

    static void reset()
    {
        bp = qp = calcerr = calcnet = 0;
        windows.clear();
    }

    static int total() { return bp + qp + calcerr + calcnet; }
};

template <auto Fn, int *Counter> struct Counting;

template <typename... A, void (*Fn)(A...) noexcept, int *Counter> struct Counting<Fn, Counter>
{
    static void call(A... a) noexcept
    {
        ++*Counter;
        if constexpr (sizeof...(A) >= 29) {
            auto args = std::forward_as_tuple(a...);
            EngineCalls::windows.emplace_back(*std::get<26>(args), *std::get<27>(args));
        }
        Fn(a...);
    }
};

// The linked routines, BP, QP, CALCERR and CALCNET counting their calls from now on, for
// TestBench b {countingEngine()}.
inline EngineApi::Routines countingEngine()
{
    EngineCalls::reset();
    EngineApi::Routines r = linkedEngine();
    r.BP = &Counting<&::BP, &EngineCalls::bp>::call;
    r.QP = &Counting<&::QP, &EngineCalls::qp>::call;
    r.CALCERR = &Counting<&::CALCERR, &EngineCalls::calcerr>::call;
    r.CALCNET = &Counting<&::CALCNET, &EngineCalls::calcnet>::call;
    return r;
}
