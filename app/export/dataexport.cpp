#include "export/dataexport.h"

#include "export/netexport.h"
#include "files/savesafety.h"
#include "model/normfactors.h"
#include "model/numberformat.h"
#include "model/textfile.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/patternsets.h"

QString formatCsvSet(const ColumnNames &names, const Array2 &in, const Array2 &out, int count)
{
    QStringList header;
    for (const QString &name : names.inputs) {
        header << quotedField(name);
    }
    for (int k = 0; k < names.outputs.size(); ++k) {
        header << quotedField(names.outputLabel(k));
    }
    QString text = header.join(u',') + QStringLiteral("\r\n");
    for (int p = 1; p <= count; ++p) {
        QStringList row;
        for (const Array2 *side : {&in, &out}) {
            for (int c = 1; c <= side->cols(); ++c) {
                row << exactNumber((*side)(p, c));
            }
        }
        text += row.join(u',') + QStringLiteral("\r\n");
    }
    return text;
}

Result<QStringList> exportDataCsv(Workbench &wb, QString base)
{
    NetModel &m = wb.model;
    if (!setFitsNetwork(m, false)) {
        return LoadError {0, QStringLiteral("The network has no training set to export")};
    }
    if (base.isEmpty()) {
        base = besideFile(m.NetFileName, u"");
    }
    const ColumnNames names = readColumnNames(m.PatFileName, m.numInputs(), m.numOutputs())
                                      .value_or(defaultColumnNames(m.numInputs(), m.numOutputs()));
    QList<std::pair<QString, QByteArray>> files;
    for (const bool test : {false, true}) {
        if (test && !setFitsNetwork(m, true)) {
            continue;
        }
        Array2 in = test ? m.TstIn : m.PatIn;
        Array2 out = test ? m.TstOut : m.PatOut;
        if (m.NormOn) {
            unnormalizeSet(m, in, out);
        }
        files.append({base + (test ? QStringLiteral("-test.csv") : QStringLiteral("-train.csv")),
                      formatCsvSet(names, in, out, test ? m.NumTestPats : m.NumPats).toUtf8()});
    }
    for (const auto &file : files) {
        if (const QString clash = roleClash(wb, file.first, SaveKind::Report); !clash.isEmpty()) {
            return LoadError {0, QStringLiteral("Cannot write %1: %2").arg(file.first, clash)};
        }
    }
    if (const Status written = writeFilesTogether(files); !written) {
        return written.error();
    }
    QStringList paths;
    for (const auto &file : files) {
        paths << file.first;
    }
    return paths;
}

FileResult exportDataCsvCommand(Workbench &wb)
{
    const auto chosen = wb.ui.saveFileName({QStringLiteral("Export Data as CSV"),
                                            QStringLiteral("CSV Files (*.csv)"),
                                            QStringLiteral("csv"), exportInitialName(wb, u"csv")});
    if (!chosen || chosen->isEmpty()) {
        return {FileOutcome::Cancelled, QString()};
    }
    BusyGuard busy(wb.ui);
    const Result<QStringList> written = exportDataCsv(wb, besideFile(*chosen, u""));
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    wb.ui.setStatus(QStringLiteral("Exported %1").arg(written.value().join(QStringLiteral(", "))));
    return {FileOutcome::Done, written.value().value(0)};
}
