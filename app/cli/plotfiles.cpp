#include "cli/plotfiles.h"

#include <QFileInfo>

#include "model/textfile.h"
#include "plots/chartdata.h"
#include "plots/plotexport.h"

#ifdef AXONA_CLI_PICTURES
#include <QApplication>

#include "plots/netdrawing.h"
#include "plots/widgets/chartrender.h"
#include "plots/widgets/netpicture.h"
#include "plots/widgets/picturefiles.h"
#endif

namespace {

enum class Output { Csv, Picture, Unknown };

Output outputOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv") {
        return Output::Csv;
    }
    if (suffix == u"png" || suffix == u"svg" || suffix == u"pdf") {
        return Output::Picture;
    }
    return Output::Unknown;
}

QString writeText(const QString &path, const QString &text)
{
    const Status written = writeTextFile(path, text);
    return written ? QString() : written.error().message;
}

} // namespace

QString plotOutputProblem(const QString &path)
{
    const Output output = outputOf(path);
    if (output == Output::Csv) {
        return {};
    }
    if (output == Output::Unknown) {
        return QStringLiteral("Unknown output type (use .csv, .png, .svg or .pdf): ") + path;
    }
#ifdef AXONA_CLI_PICTURES
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        return QStringLiteral("Pictures need the graphical libraries started: ") + path;
    }
    return {};
#else
    return QStringLiteral("This build writes plots as .csv only: ") + path;
#endif
}

bool commandWritesPicture(const QStringList &arguments)
{
    for (int i = 0; i + 1 < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        if ((option == u"-o" || option == u"--plot-rms")
            && outputOf(arguments.at(i + 1)) == Output::Picture) {
            return true;
        }
    }
    return false;
}

QString writeChartOutput(const ChartData &chart, const QString &path)
{
    if (const QString problem = plotOutputProblem(path); !problem.isEmpty()) {
        return problem;
    }
    if (outputOf(path) == Output::Csv) {
        return writeText(path, chartCsv(chart));
    }
#ifdef AXONA_CLI_PICTURES
    return writeChartFile(chart, path);
#else
    return {};
#endif
}

QString
writeLayoutOutput(const NetModel &model, bool absolute, bool fillNeurons, const QString &path)
{
    if (const QString problem = plotOutputProblem(path); !problem.isEmpty()) {
        return problem;
    }
    if (outputOf(path) == Output::Csv) {
        return writeText(path, netDrawingCsv(model, absolute));
    }
#ifdef AXONA_CLI_PICTURES
    return writeNetPictureFile(recordNetPicture(buildNetDrawing(model, absolute, fillNeurons)),
                               path);
#else
    Q_UNUSED(fillNeurons);
    return {};
#endif
}
