#include "training/construction.h"

#include <algorithm>

#include "model/numberformat.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

// Calls ZEROW then RNDW on the built arrays.
void freshWeights(Workbench &wb)
{
    NetModel &m = wb.model;
    if (!m.arraysMatchLayers() || !wb.engine.require(wb.ui, {"ZEROW", "RNDW"})) {
        return;
    }
    float seed = secondsSinceMidnight();
    wb.engine.fn().ZEROW(m.WeightGrad.data(), m.WeightDelta.data(), m.LayerSize.data(),
                         &m.NumLayers, &m.MaxIn, &m.MaxOut);
    wb.engine.fn().RNDW(m.Weights.data(), m.LayerSize.data(), &m.NumLayers, &m.MaxIn, &m.MaxOut,
                        &m.MinWeight, &m.MaxWeight, &seed);
}

void resizeKeeping(std::vector<float> &v, int lastIndex)
{
    v.resize(static_cast<std::size_t>(std::max(lastIndex, 0) + 1), 0.0f);
}

// The layer list of the panel, as sizes; a line that is not a number reads as 0.
int16_t listSize(const QStringList &lines, int index)
{
    return roundToInt16(leadingNumber(lines.value(index)));
}

void refillLayerList(Workbench &wb)
{
    wb.model.CurLayer = 0;
    showLayers(wb);
}

} // namespace

bool buildNetwork(Workbench &wb)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    BusyGuard busy(wb.ui);
    wb.ui.setStatus(QStringLiteral("Allocating memeory..."));

    // The panel's layer count and list are the truth the user edited.
    m.NumLayers = std::clamp<int16_t>(roundToInt16(leadingNumber(f.text(Control::PNL_Layers))),
                                      MinLayers, MaxLayers);
    m.LayerSize.resize(m.NumLayers);
    m.NeuronFunc.resize(m.NumLayers);
    const QStringList lines = f.items(Control::CMB_LayerSize);
    int16_t maxHidden = 0;
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.LayerSize(l) = listSize(lines, l - 1);
        if (l > 1 && l < m.NumLayers) {
            maxHidden = std::max(maxHidden, m.LayerSize(l));
        }
        if (m.NeuronFunc(l) == 0) {
            m.NeuronFunc(l) = FuncSigmoid;
        }
    }
    m.MaxHidden = static_cast<int16_t>(maxHidden + 1);

    for (int l = 1; l <= m.NumLayers; ++l) {
        if (m.LayerSize(l) < 1 || m.LayerSize(l) > MaxLayerSize) {
            // Only a damaged list gets here: "Change" refuses such sizes.
            wb.ui.critical(QStringLiteral("No. of nodes should be between 1 to ")
                           + QString::number(MaxLayerSize));
            return false;
        }
    }
    if (countWeights(m) > WeightLimit) {
        // The arrays stay those of the previous network; arraysMatchLayers() now keeps every
        // engine call away until a valid size is entered.
        wb.ui.critical(QStringLiteral("Total no. of weights exceeds the limit of ")
                       + QString::number(WeightLimit) + QStringLiteral("\n\r")
                       + QStringLiteral("Change the size of the network and try again."));
        return false;
    }

    m.MaxIn = std::max<int16_t>(m.MaxHidden, static_cast<int16_t>(m.numInputs() + 1));
    m.MaxOut = std::max<int16_t>(m.MaxHidden, static_cast<int16_t>(m.numOutputs() + 1));
    m.MaxNodes = std::max(m.MaxIn, m.MaxOut);

    m.WeightGrad.allocate(m.NumLayers, m.MaxIn, m.MaxOut);
    m.PrevGrad.allocate(m.NumLayers, m.MaxIn, m.MaxOut);
    m.WeightDelta.allocate(m.NumLayers, m.MaxIn, m.MaxOut);
    m.Weights.allocate(m.NumLayers, m.MaxIn, m.MaxOut);
    m.NodeOut.allocate(m.NumLayers, m.MaxNodes);
    resizeKeeping(m.InNormB, m.numInputs());
    resizeKeeping(m.InNormA, m.numInputs());
    resizeKeeping(m.OutNormB, m.numOutputs());
    resizeKeeping(m.OutNormA, m.numOutputs());
    m.BuiltNumLayers = m.NumLayers;
    m.BuiltLayerSize = m.LayerSize;

    freshWeights(wb);
    showWeightStats(wb);
    f.setEnabled(Control::CHK_ShowTestErr, false);
    wb.ui.setStatus(QStringLiteral("Network Init Completed..."));
    emit wb.events.networkRebuilt();
    emit wb.events.weightsChanged();
    return true;
}

void showWeightStats(Workbench &wb)
{
    const NetModel &m = wb.model;
    if (m.BuiltNumLayers < 2) {
        return;
    }
    // Walk the arrays as built, so a refused layer list cannot lead outside them.
    const Array1<int16_t> &nn = m.BuiltLayerSize;
    float lo = m.Weights(2, 1, 1);
    float hi = lo;
    int count = 0;
    for (int l = 2; l <= m.BuiltNumLayers; ++l) {
        for (int j = 1; j <= nn(l); ++j) {
            for (int i = 1; i <= nn(l - 1) + 1; ++i) {
                const float w = m.Weights(l, i, j);
                lo = std::min(lo, w);
                hi = std::max(hi, w);
                ++count;
            }
        }
    }
    wb.form.setText(Control::PNL_NW, QString::number(count));
    wb.form.setText(Control::PNL_MinW, formatNumber(lo, u"#.####E+##"));
    wb.form.setText(Control::PNL_MaxW, formatNumber(hi, u"#.####E+##"));
}

void randomizeWeights(Workbench &wb)
{
    NetModel &m = wb.model;
    clearRmsHistory(wb.rmsHistory);
    m.IterCount = 0;
    freshWeights(wb);
    showWeightStats(wb);
    m.WeightsChanged = true;
    emit wb.events.weightsChanged();
}

void clearTrainingMemory(Workbench &wb)
{
    NetModel &m = wb.model;
    if (!m.arraysMatchLayers() || !wb.engine.require(wb.ui, {"ZEROW"})) {
        return;
    }
    wb.engine.fn().ZEROW(m.WeightGrad.data(), m.WeightDelta.data(), m.LayerSize.data(),
                         &m.NumLayers, &m.MaxIn, &m.MaxOut);
}

void addLayer(Workbench &wb)
{
    NetModel &m = wb.model;
    if (m.NumLayers >= MaxLayers) {
        return;
    }
    QStringList lines = wb.form.items(Control::CMB_LayerSize).mid(0, m.NumLayers);
    lines.append(QStringLiteral("1"));
    ++m.NumLayers;
    m.LayerSize.resize(m.NumLayers);
    m.NeuronFunc.resize(m.NumLayers);
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.LayerSize(l) = listSize(lines, l - 1);
        if (m.NeuronFunc(l) == 0) {
            m.NeuronFunc(l) = FuncSigmoid;
        }
    }
    refillLayerList(wb);
    buildNetwork(wb);
}

void removeLayer(Workbench &wb)
{
    NetModel &m = wb.model;
    if (m.NumLayers < 3) {
        return;
    }
    const QStringList lines = wb.form.items(Control::CMB_LayerSize);
    --m.NumLayers;
    m.LayerSize.resize(m.NumLayers);
    m.NeuronFunc.resize(m.NumLayers);
    for (int l = 1; l <= m.NumLayers; ++l) {
        m.LayerSize(l) = listSize(lines, l - 1);
    }
    refillLayerList(wb);
    buildNetwork(wb);
}

void selectLayer(Workbench &wb, int index)
{
    NetModel &m = wb.model;
    if (index < 0 || index >= m.NumLayers) {
        return;
    }
    m.CurLayer = static_cast<int16_t>(index);
    FormState &f = wb.form;
    f.setCurrentIndex(Control::CMB_LayerSize, index);
    f.setText(Control::CMB_LayerSize, f.items(Control::CMB_LayerSize).value(index));
    f.setText(Control::PNL_Lindex, QString::number(index + 1));
    f.setCurrentIndex(Control::CMB_idxfn, m.NeuronFunc(index + 1) - 1);
    f.setEnabled(Control::CMB_idxfn, index > 0);
}

void chooseNeuronFunction(Workbench &wb, int position)
{
    NetModel &m = wb.model;
    if (position < 0 || position > 4 || m.CurLayer < 0 || m.CurLayer >= m.NumLayers) {
        return;
    }
    m.NeuronFunc(m.CurLayer + 1) = static_cast<int16_t>(position + 1);
    wb.form.setCurrentIndex(Control::CMB_idxfn, position);
}

void changeLayerSize(Workbench &wb, const QString &typed)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    const double v = leadingNumber(typed);
    if (!(v > 0 && v <= MaxLayerSize)) {
        wb.ui.critical(QStringLiteral("No. of nodes should be between 1 to ")
                       + QString::number(MaxLayerSize));
        return;
    }
    QStringList lines = f.items(Control::CMB_LayerSize);
    if (m.CurLayer < 0 || m.CurLayer >= lines.size()) {
        return;
    }
    lines[m.CurLayer] = typed;
    f.setItems(Control::CMB_LayerSize, lines);
    f.setCurrentIndex(Control::CMB_LayerSize, m.CurLayer);
    f.setText(Control::CMB_LayerSize, typed);
    buildNetwork(wb);
}

bool layerTextEdited(Workbench &wb, const QString &typed)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    static bool busy = false; // setting the box's text raises this same event
    if (busy) {
        return true;
    }
    f.setText(Control::CMB_LayerSize, typed);
    if (!m.HasPatterns || (m.CurLayer != 0 && m.CurLayer != m.NumLayers - 1)) {
        return true;
    }
    busy = true;
    const auto answer = wb.ui.question(QStringLiteral("Changing the no. of inputs or outputs\r\n"
                                                      "requires reloading the pattern and test "
                                                      "files.\r\nDo you want to continue ?"),
                                       UiPort::Buttons::YesNo);
    bool accepted = answer == UiPort::Answer::Yes;
    if (accepted) {
        m.HasPatterns = false;
        f.setEnabled(Control::BTN_EditPat, false);
        f.setEnabled(Control::save, false);
        f.setText(Control::LBL_DataFile, noFileCaption());
        releaseDataSets(m);
        f.setText(Control::LBL_Npts, QStringLiteral("0"));
        f.setText(Control::LBL_NptsTST, QStringLiteral("0"));
        f.setText(Control::LBL_TestFile, noFileCaption());
        f.setEnabled(Control::BTN_EditTst, false);
        updateCommands(wb);
        emit wb.events.dataChanged();
    } else {
        f.setText(Control::CMB_LayerSize, QString::number(m.LayerSize(m.CurLayer + 1)));
    }
    busy = false;
    return accepted;
}

bool newNet(Workbench &wb)
{
    const auto answer = wb.ui.question(
            QStringLiteral("Creating a new network will erase all parametrs\r\rContinue ?"),
            UiPort::Buttons::YesNo);
    if (answer != UiPort::Answer::Yes) {
        return false;
    }
    resetModel(wb);
    buildNetwork(wb);
    return true;
}
