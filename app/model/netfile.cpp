#include "model/netfile.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

#include "model/listinput.h"
#include "model/numberformat.h"

namespace {

const QString SampledCaption = QStringLiteral("Sampled from input file");

// Layout records beyond this many are not read: no desktop has more windows.
constexpr int MaxDesktopRecords = 1000;

int16_t flag(bool value)
{
    return value ? -1 : 0;
}

float element(const std::vector<float> &v, int i)
{
    return i >= 0 && static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)] : 0.0f;
}

// A factor array from the model's, sized for elements 0..last, keeping what it held.
std::vector<float> factorsFrom(const std::vector<float> &start, int last)
{
    std::vector<float> v = start;
    v.resize(static_cast<std::size_t>(last) + 1, 0.0f);
    return v;
}

// Reads n lines of factor pairs and the log flag; the last flag read stays. A factor that cannot
// be read would leave every value of its column mapped by a stale or zero pair, so it stops the
// reading: the problem names it, e.g. "input normalization factor a of line 2 is not a number"
// (or "is missing", "is beyond the single range").
QString readFactors(ListReader &in,
                    const char *side,
                    int n,
                    std::vector<float> &a,
                    std::vector<float> &b,
                    bool &log)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        for (auto [factor, name] : {std::pair {&a[i], 'a'}, std::pair {&b[i], 'b'}}) {
            const bool missing = in.atEnd();
            if (!in.readSingle(*factor)) {
                return QStringLiteral("%1 normalization factor %2 of line %3 %4")
                        .arg(QLatin1String(side))
                        .arg(QChar::fromLatin1(name))
                        .arg(i + 1)
                        .arg(missing ? QStringLiteral("is missing") : notASingle(in));
            }
        }
        int16_t value = flag(log);
        if (in.readInt16(value)) {
            log = value != 0;
        }
    }
    return QString();
}

// Label lines are read as one text field each and not checked.
void skipLabel(ListReader &in)
{
    QString label;
    in.readText(label);
}

// What a data-file line of the network file holds for a label's caption: file names as they
// are, the captions that name no file in lower case, or nothing for a name the file cannot
// hold: nothing keeps a line break inside a field.
std::optional<QString> fileLine(const QString &caption)
{
    if (caption.isEmpty() || caption.compare(noFileCaption(), Qt::CaseInsensitive) == 0
        || caption.compare(SampledCaption, Qt::CaseInsensitive) == 0
        || caption.compare(pastedCaption(), Qt::CaseInsensitive) == 0) {
        return caption.isEmpty() ? noFileCaption().toLower() : caption.toLower();
    }
    if (caption.contains(u'\r') || caption.contains(u'\n')) {
        return std::nullopt;
    }
    return quotedField(caption);
}

// The first value of the file that the reader could not take back, as "Eta is Inf", or empty.
QString unreadableValue(const NetModel &m, const NetFileTexts &f)
{
    const auto shown = [](double v) { return printNumber(v).trimmed(); };
    const std::pair<const char *, float> singles[] = {
            {"Eta", m.Eta},
            {"Alpha", m.Alpha},
            {"the growth factor", m.GrowthFactor},
            {"the weight cutoff", m.WCutOff},
            {"the weight decay", m.WDecay},
            {"the input noise", m.InputNoise},
            {"the weight noise", m.WeightNoise},
            {"Temp", m.Temp},
            {"the pattern clip", m.PatClip},
            {"the target error", m.TargetErr},
    };
    for (const auto &[name, value] : singles) {
        if (!readsBack(value)) {
            return QStringLiteral("%1 is %2").arg(QLatin1String(name), shown(value));
        }
    }
    const std::pair<const char *, QString> bounds[] = {{"the minimum weight", f.minWeight},
                                                       {"the maximum weight", f.maxWeight}};
    for (const auto &[name, text] : bounds) {
        if (!readsBack(leadingNumber(text))) {
            return QStringLiteral("%1 %2 is beyond the range of numbers")
                    .arg(QLatin1String(name), text.trimmed());
        }
    }
    if (m.NormOn) {
        const std::tuple<const char *, const std::vector<float> &, const std::vector<float> &, int>
                sides[] = {{"input", m.InNormA, m.InNormB, m.numInputs()},
                           {"output", m.OutNormA, m.OutNormB, m.numOutputs()}};
        for (const auto &[side, a, b, last] : sides) {
            for (int i = 0; i <= last; ++i) {
                for (auto [value, name] :
                     {std::pair {element(a, i), 'a'}, std::pair {element(b, i), 'b'}}) {
                    if (!readsBack(value)) {
                        return QStringLiteral("%1 normalization factor %2 of line %3 is %4")
                                .arg(QLatin1String(side))
                                .arg(QChar::fromLatin1(name))
                                .arg(i + 1)
                                .arg(shown(value));
                    }
                }
            }
        }
    }
    const std::pair<const char *, QString> files[] = {
            {"pattern", f.patternFile}, {"weight", f.weightFile}, {"test", f.testFile}};
    for (const auto &[kind, name] : files) {
        if (!fileLine(name)) {
            return QStringLiteral("the %1 file name holds a line break").arg(QLatin1String(kind));
        }
    }
    return QString();
}

// A title or plot text as a quoted field can hold it: a line break or a double quote inside
// would end the field early and shift every later field of the file, so line breaks become
// blanks and double quotes single ones.
QString quotable(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    text.replace(u'"', u'\'');
    return text;
}

} // namespace

int graphGroupCount(double version)
{
    if (version <= 0.91) {
        return 3;
    }
    if (version < 0.94) {
        return 4;
    }
    if (version < 1.2) {
        return 5;
    }
    return 6;
}

NetFileContents parseNetText(const QString &text, const NetModel &start)
{
    NetFileContents c;
    ListReader in(text);
    QString signature;
    in.readText(signature);
    if (!signature.startsWith(QStringLiteral("Axona"))) {
        return c;
    }
    c.signatureOk = true;
    c.versionText = signature.mid(5);
    c.version = leadingNumber(c.versionText);

    c.NetTitle = start.NetTitle;
    in.readText(c.NetTitle);

    skipLabel(in);
    c.NumLayers = start.NumLayers;
    in.readInt16(c.NumLayers);
    if (c.NumLayers < MinLayers || c.NumLayers > MaxLayers) {
        c.problem = QStringLiteral("the network has %1 layers; a network has %2 to %3")
                            .arg(c.NumLayers)
                            .arg(MinLayers)
                            .arg(MaxLayers);
        return c;
    }
    const auto fromStart = [&](const Array1<int16_t> &a, int l, int16_t fallback) {
        return l <= a.size() ? a(l) : fallback;
    };
    skipLabel(in);
    for (int l = 1; l <= c.NumLayers; ++l) {
        int16_t size = fromStart(start.LayerSize, l, 0);
        in.readInt16(size);
        if (size < 1 || size > MaxLayerSize) {
            c.problem = QStringLiteral("layer %1 has %2 nodes; a layer has 1 to %3")
                                .arg(l)
                                .arg(size)
                                .arg(MaxLayerSize);
            return c;
        }
        c.LayerSize.push_back(size);
    }
    skipLabel(in);
    for (int l = 1; l <= c.NumLayers; ++l) {
        int16_t code = fromStart(start.NeuronFunc, l, FuncSigmoid);
        in.readInt16(code);
        if (code < FuncSigmoid || code > FuncSigmoidPlus) {
            // The input layer is never computed: its code only has to be a valid one.
            if (l > 1) {
                c.problem = QStringLiteral("the neuron function of layer %1 is %2; the "
                                           "functions are 1 to 5")
                                    .arg(l)
                                    .arg(code);
                return c;
            }
            code = FuncSigmoid;
        }
        c.NeuronFunc.push_back(code);
    }

    skipLabel(in);
    c.Eta = start.Eta;
    c.Alpha = start.Alpha;
    in.readSingle(c.Eta);
    in.readSingle(c.Alpha);

    c.TrainMode = start.TrainMode;
    c.GrowthFactor = start.GrowthFactor;
    c.WCutOff = start.WCutOff;
    c.WDecay = start.WDecay;
    if (c.version > 0.96) {
        skipLabel(in);
        in.readInt16(c.TrainMode);
        in.readSingle(c.GrowthFactor);
        in.readSingle(c.WCutOff);
        in.readSingle(c.WDecay);
    }

    skipLabel(in);
    c.InputNoise = start.InputNoise;
    c.WeightNoise = start.WeightNoise;
    c.Temp = start.Temp;
    c.EpochsPerCall = start.EpochsPerCall;
    c.PatClip = start.PatClip;
    in.readSingle(c.InputNoise);
    in.readSingle(c.WeightNoise);
    in.readSingle(c.Temp);
    in.readInt16(c.EpochsPerCall);
    in.readSingle(c.PatClip);
    if (c.EpochsPerCall < 1) {
        // No epoch per engine call would train nothing, forever.
        c.problem = QStringLiteral("Iter./calc. is %1; it must be 1 to 32767").arg(c.EpochsPerCall);
        return c;
    }

    skipLabel(in);
    c.TargetErr = start.TargetErr;
    in.readSingle(c.TargetErr);

    skipLabel(in);
    c.MinWeight = start.MinWeight;
    c.MaxWeight = start.MaxWeight;
    in.readDouble(c.MinWeight);
    in.readDouble(c.MaxWeight);

    skipLabel(in);
    int16_t normOn = flag(start.NormOn);
    int16_t globalNorm = flag(start.GlobalNorm);
    in.readInt16(normOn);
    in.readInt16(globalNorm);
    c.NormOn = normOn != 0;
    c.GlobalNorm = globalNorm != 0;

    const int nin = c.LayerSize.front();
    const int nout = c.LayerSize.back();
    c.InNormA = factorsFrom(start.InNormA, nin);
    c.InNormB = factorsFrom(start.InNormB, nin);
    c.OutNormA = factorsFrom(start.OutNormA, nout);
    c.OutNormB = factorsFrom(start.OutNormB, nout);
    c.InNormLog = start.InNormLog;
    c.OutNormLog = start.OutNormLog;
    if (c.NormOn) {
        skipLabel(in);
        c.problem = readFactors(in, "input", nin + 1, c.InNormA, c.InNormB, c.InNormLog);
        if (c.problem.isEmpty()) {
            skipLabel(in);
            c.problem = readFactors(in, "output", nout + 1, c.OutNormA, c.OutNormB, c.OutNormLog);
        }
        if (!c.problem.isEmpty()) {
            return c;
        }
    }

    skipLabel(in);
    c.Graph = start.Graph;
    c.graphGroups = graphGroupCount(c.version);
    for (int g = 1; g <= c.graphGroups; ++g) {
        GraphSetting &s = c.Graph[static_cast<std::size_t>(g)];
        in.readText(s.Title);
        in.readText(s.XLabel);
        in.readText(s.YLabel);
        in.readInt16(s.XGrid);
        in.readInt16(s.YGrid);
        in.readInt16(s.GraphType);
        in.readInt16(s.GraphStyle);
        in.readInt16(s.ColorEach);
    }

    skipLabel(in);
    c.RandomSampling = start.RandomSampling;
    in.readInt16(c.epochLength);
    in.readInt16(c.RandomSampling);

    skipLabel(in);
    in.readText(c.patternSource);
    in.readText(c.weightSource);
    in.readText(c.testSource);

    skipLabel(in);
    int16_t windows = 0;
    in.readInt16(windows);
    for (int w = 0; w < std::min<int>(windows, MaxDesktopRecords) && !in.atEnd(); ++w) {
        WindowLayout layout;
        in.readText(layout.tag);
        in.readInt16(layout.state);
        in.readInt32(layout.top);
        in.readInt32(layout.left);
        in.readInt32(layout.height);
        in.readInt32(layout.width);
        c.desktop.append(layout);
    }
    return c;
}

Result<QString>
formatNetText(const NetModel &m, const NetFileTexts &f, const QList<WindowLayout> &desktop)
{
    if (const QString problem = unreadableValue(m, f); !problem.isEmpty()) {
        return LoadError {0, problem};
    }
    const auto label = [](const char *text) {
        return PrintLine().text(QString::fromLatin1(text)).str();
    };
    QString t;
    t += PrintLine().text(u"Axona ").text(u"1.7").str();
    t += PrintLine().quoted(quotable(m.NetTitle)).str();
    t += label("Number of layers:");
    t += PrintLine().number(int(m.NumLayers)).str();
    t += label("Layers size:");
    PrintLine sizes;
    for (int l = 1; l <= m.NumLayers; ++l) {
        sizes.text(formatNumber(int(m.LayerSize(l)), u"###")).text(u"  ");
    }
    t += sizes.str();
    t += label("Nueron function for each layer:");
    PrintLine codes;
    for (int l = 1; l <= m.NumLayers; ++l) {
        codes.text(formatNumber(int(m.NeuronFunc(l)), u"#")).text(u" ");
    }
    t += codes.str();
    t += label("Eta and alpha:");
    t += PrintLine().number(m.Eta).zone().number(m.Alpha).str();
    t += label("Training Mode; Growth Factor; W CutOff; W Decay");
    t += PrintLine()
                 .number(int(m.TrainMode))
                 .zone()
                 .number(m.GrowthFactor)
                 .zone()
                 .number(m.WCutOff)
                 .zone()
                 .number(m.WDecay)
                 .str();
    t += label("Input Noise; Weight Noise; Temp; No of epocs; Pattern Clip:");
    t += PrintLine()
                 .number(m.InputNoise)
                 .number(m.WeightNoise)
                 .number(m.Temp)
                 .number(int(m.EpochsPerCall))
                 .number(m.PatClip)
                 .str();
    t += label("Target error [of the normalize data]:");
    t += PrintLine().number(m.TargetErr).str();
    t += label("Min and Max weight random generator:");
    t += PrintLine()
                 .number(leadingNumber(f.minWeight))
                 .zone()
                 .number(leadingNumber(f.maxWeight))
                 .str();
    t += label("Normalization; Global Normalization");
    t += PrintLine().number(int(flag(m.NormOn))).zone().number(int(flag(m.GlobalNorm))).str();
    if (m.NormOn) {
        t += label("Input Normalization factors a; b; log:");
        for (int i = 0; i <= m.numInputs(); ++i) {
            t += PrintLine()
                         .number(element(m.InNormA, i))
                         .zone()
                         .number(element(m.InNormB, i))
                         .zone()
                         .number(int(flag(m.InNormLog)))
                         .str();
        }
        t += label("Output Normalization factors a; b; log:");
        for (int k = 0; k <= m.numOutputs(); ++k) {
            t += PrintLine()
                         .number(element(m.OutNormA, k))
                         .zone()
                         .number(element(m.OutNormB, k))
                         .zone()
                         .number(int(flag(m.OutNormLog)))
                         .str();
        }
    }
    t += label("Graph Settings");
    for (int g = 1; g <= 6; ++g) {
        const GraphSetting &s = m.Graph[static_cast<std::size_t>(g)];
        t += PrintLine().quoted(quotable(s.Title)).str();
        t += PrintLine().quoted(quotable(s.XLabel)).str();
        t += PrintLine().quoted(quotable(s.YLabel)).str();
        t += PrintLine()
                     .number(int(s.XGrid))
                     .zone()
                     .number(int(s.YGrid))
                     .zone()
                     .number(int(s.GraphType))
                     .zone()
                     .number(int(s.GraphStyle))
                     .zone()
                     .number(int(s.ColorEach))
                     .str();
    }
    t += label("Epoc length; Random sampling:");
    t += PrintLine()
                 .number(int(roundToInt16(leadingNumber(f.epochLength))))
                 .zone()
                 .number(int(m.RandomSampling))
                 .str();
    t += label("Data Files:");
    const QString &patterns = f.patternFile;
    const QString &tests = f.testFile;
    t += PrintLine().text(m.PatsLinked ? quotedField(u'!' + patterns) : *fileLine(patterns)).str();
    t += PrintLine().text(*fileLine(f.weightFile)).str();
    t += PrintLine().text(m.TestLinked ? quotedField(u'!' + tests) : *fileLine(tests)).str();
    t += label("Desktop Information:");
    t += PrintLine().number(int(desktop.size())).str();
    for (const WindowLayout &w : desktop) {
        t += PrintLine()
                     .quoted(w.tag)
                     .zone()
                     .number(int(w.state))
                     .zone()
                     .number(int(w.top))
                     .zone()
                     .number(int(w.left))
                     .zone()
                     .number(int(w.height))
                     .zone()
                     .number(int(w.width))
                     .str();
    }
    return t;
}

void applyStoredValues(NetModel &m, const NetFileContents &c)
{
    m.Eta = c.Eta;
    m.Alpha = c.Alpha;
    m.TrainMode = c.TrainMode;
    m.GrowthFactor = c.GrowthFactor;
    m.WCutOff = c.WCutOff;
    m.WDecay = c.WDecay;
    m.InputNoise = c.InputNoise;
    m.WeightNoise = c.WeightNoise;
    m.Temp = c.Temp;
    m.EpochsPerCall = c.EpochsPerCall;
    m.PatClip = c.PatClip;
    m.TargetErr = c.TargetErr;
    m.MinWeight = static_cast<float>(c.MinWeight);
    m.MaxWeight = static_cast<float>(c.MaxWeight);
    m.NormOn = c.NormOn;
    m.GlobalNorm = c.GlobalNorm;
    m.InNormA = c.InNormA;
    m.InNormB = c.InNormB;
    m.InNormLog = c.InNormLog;
    m.OutNormA = c.OutNormA;
    m.OutNormB = c.OutNormB;
    m.OutNormLog = c.OutNormLog;
    m.RandomSampling = c.RandomSampling;
}
