#include "dataprep/importcommands.h"

#include <QFileInfo>

#include "files/patterncommands.h"
#include "files/savesafety.h"
#include "model/textfile.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"

std::optional<CsvSource> askCsvFile(Workbench &wb)
{
    const auto path = wb.ui.openFileName({QStringLiteral("Import CSV"),
                                          QStringLiteral("CSV Files (*.csv *.tsv *.txt);;All "
                                                         "Files (*)"),
                                          QStringLiteral("csv"), QStringLiteral("*.csv")});
    if (!path || path->isEmpty()) {
        return std::nullopt;
    }
    const Result<QString> text = readTextFile(*path);
    if (!text) {
        wb.ui.critical(text.error().message);
        return std::nullopt;
    }
    return CsvSource {*path, text.value()};
}

std::pair<float, float> outputFunctionRange(const Workbench &wb)
{
    const NetModel &m = wb.model;
    const int16_t code = m.NeuronFunc(m.NumLayers);
    const FuncRangeEntry &r = m.FuncRange[static_cast<std::size_t>(
            code >= 1 && code <= static_cast<int>(m.FuncRange.size()) ? code - 1 : 0)];
    return {r.OutLow, r.OutHigh};
}

bool fitNetworkToData(Workbench &wb, int nin, int nout)
{
    NetModel &m = wb.model;
    for (const auto &[index, size] : {std::pair {0, nin}, std::pair {-1, nout}}) {
        const int layer = index < 0 ? m.NumLayers - 1 : index;
        if (m.LayerSize(layer + 1) == size && m.arraysMatchLayers()) {
            continue;
        }
        selectLayer(wb, layer);
        const QString typed = QString::number(size);
        if (!layerTextEdited(wb, typed)) {
            return false;
        }
        changeLayerSize(wb, typed);
    }
    return m.numInputs() == nin && m.numOutputs() == nout && m.arraysMatchLayers();
}

bool importCsv(Workbench &wb,
               const QString &csvPath,
               const CsvTable &table,
               const CsvImportChoice &choice)
{
    const Result<CsvImport> import = importCsvTable(table, choice);
    if (!import) {
        wb.ui.critical(import.error().message);
        return false;
    }
    const CsvImport &data = import.value();
    const QFileInfo csv(csvPath);
    const auto chosen = wb.ui.saveFileName({QStringLiteral("Save Imported Patterns As"),
                                            QStringLiteral("Pattern Files (*.pat)"),
                                            QStringLiteral("pat"), besideFile(csvPath, u".pat")});
    if (!chosen || chosen->isEmpty()) {
        return false;
    }
    const ImportFiles files = importFiles(*chosen, data.test.count > 0);
    // A set may replace the file it was read from, but no file the network uses otherwise.
    for (const auto &[path, kind] :
         {std::pair {files.patterns, SaveKind::Patterns}, std::pair {files.test, SaveKind::Test},
          std::pair {files.names, SaveKind::Report}}) {
        if (!path.isEmpty() && refuseRoleClash(wb, path, kind)) {
            return false;
        }
    }
    {
        BusyGuard busy(wb.ui);
        if (const Status written = writeImport(data, files); !written) {
            wb.ui.critical(written.error().message);
            return false;
        }
    }
    if (data.dropped > 0) {
        wb.ui.information(QStringLiteral("%1 rows with a missing or non-numeric value were left "
                                         "out.")
                                  .arg(data.dropped));
    }
    const int nin = static_cast<int>(data.names.inputs.size());
    const int nout = static_cast<int>(data.names.outputs.size());
    if (wb.model.numInputs() != nin || wb.model.numOutputs() != nout) {
        const auto answer = wb.ui.question(
                QStringLiteral("The data have %1 inputs and %2 outputs, the network %3 and %4.\r\n"
                               "Change the input and output layers to fit (the weights start "
                               "anew)?")
                        .arg(nin)
                        .arg(nout)
                        .arg(wb.model.numInputs())
                        .arg(wb.model.numOutputs()),
                UiPort::Buttons::YesNo);
        if (answer != UiPort::Answer::Yes || !fitNetworkToData(wb, nin, nout)) {
            wb.ui.setStatus(QStringLiteral("Imported into %1; not loaded").arg(files.patterns));
            return false;
        }
    }
    if (!openPatterns(wb, false, files.patterns).done()) {
        return false;
    }
    if (data.test.count > 0 && !openTest(wb, false, files.test).done()) {
        return false;
    }
    wb.ui.setStatus(QStringLiteral("Imported %1: %2").arg(csv.fileName(), describeImport(data)));
    return true;
}
