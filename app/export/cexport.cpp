#include "export/cexport.h"

#include <vector>

#include <QFileInfo>

#include "files/savesafety.h"
#include "model/numberformat.h"
#include "model/textfile.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

const QStringList CKeywords {
        "auto",     "break",  "case",   "char",     "const",     "continue", "default",  "do",
        "double",   "else",   "enum",   "extern",   "float",     "for",      "goto",     "if",
        "inline",   "int",    "long",   "register", "restrict",  "return",   "short",    "signed",
        "sizeof",   "static", "struct", "switch",   "typedef",   "union",    "unsigned", "void",
        "volatile", "while",  "_Bool",  "_Complex", "_Imaginary"};

// A float as a C literal that reads back to the same float: the shortest such digits, "f".
QString cFloat(float value)
{
    QString text = exactNumber(value);
    if (!text.contains(u'.') && !text.contains(u'e')) {
        text += QStringLiteral(".0");
    }
    return text + u'f';
}

// A C string literal of text (UTF-8 bytes; quotes, backslashes and control characters escaped).
QString cString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += u'\\' + QChar(u);
        } else if (u < 0x20 || u >= 0x7f) {
            // Octal escapes stop after three digits, so a following digit stays a digit.
            out += QStringLiteral("\\%1").arg(u, 3, 8, QLatin1Char('0'));
        } else {
            out += QChar(u);
        }
    }
    return out + u'"';
}

// Text for a C comment: no "*/" inside.
QString commentText(QString text)
{
    return text.replace(QStringLiteral("*/"), QStringLiteral("* /"));
}

// values as the lines of a braced initialiser, eight to a line, indented by indent.
QString floatRows(const std::vector<float> &values, const QString &indent)
{
    QString out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out += (i % 8 == 0 ? indent : QStringLiteral(" ")) + cFloat(values[i])
                + (i + 1 < values.size() ? QStringLiteral(",") : QString());
        if (i % 8 == 7 || i + 1 == values.size()) {
            out += u'\n';
        }
    }
    return out;
}

QString floatArray(const QString &declaration, const std::vector<float> &values)
{
    return declaration + QStringLiteral(" = {\n") + floatRows(values, QStringLiteral("    "))
            + QStringLiteral("};\n");
}

QString stringArray(const QString &declaration, const QStringList &values)
{
    QString out = declaration + QStringLiteral(" = {\n");
    for (const QString &v : values) {
        out += QStringLiteral("    ") + cString(v) + QStringLiteral(",\n");
    }
    return out + QStringLiteral("};\n");
}

// Rows of a set as a two-dimensional initialiser.
QString setArray(const QString &declaration, const Array2 &set, int count)
{
    QString out = declaration + QStringLiteral(" = {\n");
    for (int p = 1; p <= count; ++p) {
        std::vector<float> row;
        for (int c = 1; c <= set.cols(); ++c) {
            row.push_back(set(p, c));
        }
        out += QStringLiteral("    {\n") + floatRows(row, QStringLiteral("        "))
                + QStringLiteral("    },\n");
    }
    return out + QStringLiteral("};\n");
}

QString layerSummary(const ExportedNet &net)
{
    QStringList layers;
    for (const ExportedNet::Layer &layer : net.layers) {
        layers << QStringLiteral("%1 %2")
                          .arg(layer.nodes)
                          .arg(exportedFunctionName(layer.function));
    }
    return QStringLiteral("%1 inputs; layers of %2 nodes; Temp %3")
            .arg(net.inputs)
            .arg(layers.join(QStringLiteral(", ")))
            .arg(cFloat(net.temperature).chopped(1));
}

QString formatSource(const ExportedNet &net, const QString &name, const QString &headerName)
{
    const QString upper = name.toUpper();
    QString s;
    s += QStringLiteral("/* %1.c: the network %2 exported by Axona%3.\n")
                 .arg(name, cString(commentText(net.title)),
                      net.netFile.isEmpty() ? QString()
                                            : QStringLiteral(" from ")
                                      + commentText(QFileInfo(net.netFile).fileName()));
    s += QStringLiteral(" * %1.\n").arg(commentText(layerSummary(net)));
    s += QStringLiteral(" * %1(in, out) takes the %2 inputs in data units and gives the %3 "
                        "outputs in\n * data units, as \"Run Net\" lists them. C99; link with "
                        "-lm. */\n")
                 .arg(name)
                 .arg(net.inputs)
                 .arg(net.outputs);
    s += QStringLiteral("#include \"%1\"\n\n#include <math.h>\n\n").arg(headerName);

    s += stringArray(QStringLiteral("const char *const %1_input_names[%2_INPUTS]").arg(name, upper),
                     net.names.inputs);
    QStringList outputs;
    for (int k = 0; k < net.outputs; ++k) {
        outputs << net.names.outputLabel(k);
    }
    s += stringArray(
            QStringLiteral("const char *const %1_output_names[%2_OUTPUTS]").arg(name, upper),
            outputs);
    s += u'\n';

    if (net.in.on) {
        s += QStringLiteral("/* Inputs into the network's range: a * x + b%1. */\n")
                     .arg(net.in.log ? QStringLiteral(" of ln(x)") : QString());
        s += floatArray(QStringLiteral("static const float %1_in_a[%2]").arg(name).arg(net.inputs),
                        net.in.a);
        s += floatArray(QStringLiteral("static const float %1_in_b[%2]").arg(name).arg(net.inputs),
                        net.in.b);
    }
    if (net.out.on) {
        s += QStringLiteral("/* Outputs back into data units: (y - b) / a%1; a column with "
                            "a = 0 keeps y. */\n")
                     .arg(net.out.log ? QStringLiteral(", then e to that power") : QString());
        s += floatArray(
                QStringLiteral("static const float %1_out_a[%2]").arg(name).arg(net.outputs),
                net.out.a);
        s += floatArray(
                QStringLiteral("static const float %1_out_b[%2]").arg(name).arg(net.outputs),
                net.out.b);
    }
    for (std::size_t l = 0; l < net.layers.size(); ++l) {
        const ExportedNet::Layer &layer = net.layers[l];
        s += QStringLiteral("/* Layer %1, %2: per node the weights from the %3 nodes below, its "
                            "bias last. */\n")
                     .arg(l + 2)
                     .arg(exportedFunctionName(layer.function))
                     .arg(layer.inputs);
        s += floatArray(QStringLiteral("static const float %1_w%2[%3]")
                                .arg(name)
                                .arg(l + 2)
                                .arg(layer.weights.size()),
                        layer.weights);
    }
    s += u'\n';

    const QString temp = cFloat(net.temperature);
    s += QStringLiteral(
                 "/* The neuron function of code (1 Sigmoid, 2 Linear, 3 Tanh, 4 Gaussian, 5 "
                 "Sigmoid+0.1)\n * at the net input x; the exponents are clamped at 82. */\n"
                 "static float %1_f(float x, int code)\n"
                 "{\n"
                 "    const float t = %2;\n"
                 "    float z;\n"
                 "    switch (code) {\n"
                 "    case 2:\n"
                 "        return x * t;\n"
                 "    case 3:\n"
                 "        return (float)tanh((double)(x * t));\n"
                 "    case 4:\n"
                 "        z = x * x * t;\n"
                 "        if (!(z < 82.0f)) {\n"
                 "            z = 82.0f;\n"
                 "        }\n"
                 "        return (float)exp(-(double)z);\n"
                 "    default:\n"
                 "        z = -(x * t);\n"
                 "        if (!(fabsf(z) < 82.0f)) {\n"
                 "            z = z < 0.0f ? -82.0f : 82.0f;\n"
                 "        }\n"
                 "        return (float)(1.0 / (1.0 + exp((double)z)));\n"
                 "    }\n"
                 "}\n\n")
                 .arg(name, temp);
    s += QStringLiteral("/* One layer: n_out nodes fed by the n_in values x, into y. */\n"
                        "static void %1_layer(const float *w, int n_in, int n_out, int code, "
                        "const float *x, float *y)\n"
                        "{\n"
                        "    int i, j;\n"
                        "    for (j = 0; j < n_out; ++j) {\n"
                        "        const float *row = w + j * (n_in + 1);\n"
                        "        double sum = 0.0;\n"
                        "        for (i = 0; i < n_in; ++i) {\n"
                        "            sum += (double)row[i] * x[i];\n"
                        "        }\n"
                        "        y[j] = %1_f((float)(sum + row[n_in]), code);\n"
                        "    }\n"
                        "}\n\n")
                 .arg(name);

    s += QStringLiteral("void %1(const float *in, float *out)\n{\n").arg(name);
    for (std::size_t l = 0; l <= net.layers.size(); ++l) {
        const int width = l == 0 ? net.inputs : net.layers[l - 1].nodes;
        s += QStringLiteral("    float a%1[%2];\n").arg(l + 1).arg(width);
    }
    s += QStringLiteral("    int i;\n");
    if (net.in.on && net.in.log) {
        s += QStringLiteral(
                     "    /* An input of 0 or below has no logarithm: such a pattern is scaled\n"
                     "       without it, as the workbench scales a set that holds one. */\n"
                     "    int use_log = 1;\n"
                     "    for (i = 0; i < %1; ++i) {\n"
                     "        if (!(in[i] > 0.0f)) {\n"
                     "            use_log = 0;\n"
                     "        }\n"
                     "    }\n")
                     .arg(net.inputs);
    }
    s += QStringLiteral("    for (i = 0; i < %1; ++i) {\n").arg(net.inputs);
    if (!net.in.on) {
        s += QStringLiteral("        a1[i] = in[i];\n");
    } else {
        const QString x = net.in.log ? QStringLiteral("(use_log ? log((double)in[i]) : in[i])")
                                     : QStringLiteral("in[i]");
        s += QStringLiteral("        a1[i] = (float)((double)%1_in_a[i] * %2 + %1_in_b[i]);\n")
                     .arg(name, x);
    }
    s += QStringLiteral("    }\n");
    for (std::size_t l = 0; l < net.layers.size(); ++l) {
        const ExportedNet::Layer &layer = net.layers[l];
        s += QStringLiteral("    %1_layer(%1_w%2, %3, %4, %5, a%6, a%2);\n")
                     .arg(name)
                     .arg(l + 2)
                     .arg(layer.inputs)
                     .arg(layer.nodes)
                     .arg(layer.function)
                     .arg(l + 1);
    }
    const int last = static_cast<int>(net.layers.size()) + 1;
    s += QStringLiteral("    for (i = 0; i < %1; ++i) {\n").arg(net.outputs);
    if (!net.out.on) {
        s += QStringLiteral("        out[i] = a%1[i];\n").arg(last);
    } else {
        s += QStringLiteral("        if (%1_out_a[i] == 0.0f) {\n"
                            "            out[i] = a%2[i];\n"
                            "        } else {\n"
                            "            out[i] = (float)(((double)a%2[i] - %1_out_b[i]) / "
                            "%1_out_a[i]);\n")
                     .arg(name)
                     .arg(last);
        if (net.out.log) {
            s += QStringLiteral("            out[i] = (float)exp((double)out[i]);\n");
        }
        s += QStringLiteral("        }\n");
    }
    s += QStringLiteral("    }\n}\n");
    return s;
}

QString formatHeader(const ExportedNet &net, const QString &name)
{
    const QString upper = name.toUpper();
    QString s;
    s += QStringLiteral("/* %1: the network %2 exported by Axona. */\n")
                 .arg(name, cString(commentText(net.title)));
    s += QStringLiteral("#ifndef %1_H\n#define %1_H\n\n").arg(upper);
    s += QStringLiteral("#define %1_INPUTS %2\n#define %1_OUTPUTS %3\n\n")
                 .arg(upper)
                 .arg(net.inputs)
                 .arg(net.outputs);
    s += QStringLiteral("#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n");
    s += QStringLiteral("/* The network's outputs for one pattern: in[%1_INPUTS] and "
                        "out[%1_OUTPUTS],\n   both in data units. */\n"
                        "void %2(const float *in, float *out);\n\n")
                 .arg(upper, name);
    s += QStringLiteral("/* The names of the inputs and outputs (an output made from a class "
                        "column is\n   \"column=class\"). */\n"
                        "extern const char *const %1_input_names[%2_INPUTS];\n"
                        "extern const char *const %1_output_names[%2_OUTPUTS];\n\n")
                 .arg(name, upper);
    s += QStringLiteral("#ifdef __cplusplus\n}\n#endif\n\n#endif\n");
    return s;
}

QString formatTest(const QString &name, const QString &headerName, const ExportSamples &samples)
{
    const QString upper = name.toUpper();
    QString s;
    s += QStringLiteral("/* %1_test.c: runs %2 training patterns through %1() and compares the "
                        "outputs\n * with those Axona computed for them.\n"
                        " * cc -std=c99 %1.c %1_test.c -lm -o %1_test && ./%1_test [-v]\n"
                        " * -v lists the outputs of every pattern. The exit status is 0 when "
                        "every output\n * is within 1e-5 (relative above 1). */\n")
                 .arg(name)
                 .arg(samples.count);
    s += QStringLiteral("#include <math.h>\n#include <stdio.h>\n#include <string.h>\n\n"
                        "#include \"%1\"\n\n")
                 .arg(headerName);
    if (samples.count == 0) {
        s += QStringLiteral("int main(void)\n{\n"
                            "    printf(\"no training patterns to compare\\n\");\n"
                            "    return 0;\n}\n");
        return s;
    }
    s += QStringLiteral("#define PATTERNS %1\n\n").arg(samples.count);
    s += setArray(QStringLiteral("static const float inputs[PATTERNS][%1_INPUTS]").arg(upper),
                  samples.in, samples.count);
    s += setArray(QStringLiteral("static const float expected[PATTERNS][%1_OUTPUTS]").arg(upper),
                  samples.out, samples.count);
    // printf's own "%" forms rule out QString::arg here.
    s += QString(QStringLiteral("\nint main(int argc, char **argv)\n"
                                "{\n"
                                "    int verbose = argc > 1 && strcmp(argv[1], \"-v\") == 0;\n"
                                "    int within = 1;\n"
                                "    double worst = 0.0;\n"
                                "    float out[$NAME_OUTPUTS];\n"
                                "    int p, k;\n"
                                "    for (p = 0; p < PATTERNS; ++p) {\n"
                                "        $name(inputs[p], out);\n"
                                "        if (verbose) {\n"
                                "            printf(\"%04d)\", p + 1);\n"
                                "        }\n"
                                "        for (k = 0; k < $NAME_OUTPUTS; ++k) {\n"
                                "            double diff = fabs((double)out[k] - expected[p][k]);\n"
                                "            double scale = fabs(expected[p][k]) > 1.0 ? "
                                "fabs(expected[p][k]) "
                                ": 1.0;\n"
                                "            if (!(diff <= worst)) {\n"
                                "                worst = diff;\n"
                                "            }\n"
                                "            if (!(diff <= 1e-5 * scale)) {\n"
                                "                within = 0;\n"
                                "            }\n"
                                "            if (verbose) {\n"
                                "                printf(\" %.6f\", out[k]);\n"
                                "            }\n"
                                "        }\n"
                                "        if (verbose) {\n"
                                "            printf(\"\\n\");\n"
                                "        }\n"
                                "    }\n"
                                "    printf(\"max abs difference: %g over %d patterns\\n\", worst, "
                                "PATTERNS);\n"
                                "    return within ? 0 : 1;\n"
                                "}\n"))
                 .replace(QStringLiteral("$NAME"), upper)
                 .replace(QStringLiteral("$name"), name);
    return s;
}

} // namespace

CExportFiles cExportFiles(const QString &sourcePath)
{
    return {sourcePath, besideFile(sourcePath, u".h"), besideFile(sourcePath, u"_test.c")};
}

QString cIdentifier(const QString &text)
{
    QString id;
    for (const QChar c : text) {
        id += (c.isLetterOrNumber() && c.unicode() < 0x80) || c == u'_' ? c : QChar(u'_');
    }
    if (id.isEmpty() || id.front().isDigit() || CKeywords.contains(id)) {
        id.prepend(QStringLiteral("net_"));
    }
    return id;
}

bool isCIdentifier(const QString &text)
{
    return !text.isEmpty() && cIdentifier(text) == text;
}

CExportTexts formatCExport(const ExportedNet &net,
                           const QString &name,
                           const QString &headerName,
                           const ExportSamples &samples)
{
    return {formatSource(net, name, headerName), formatHeader(net, name),
            formatTest(name, headerName, samples)};
}

FileResult exportC(Workbench &wb, const QString &name)
{
    const Result<ExportedNet> net = exportedNet(wb);
    if (!net) {
        wb.ui.critical(net.error().message);
        return {FileOutcome::Failed, QString()};
    }
    if (!name.isEmpty() && !isCIdentifier(name)) {
        wb.ui.critical(QStringLiteral("\"%1\" is not a C name: letters, digits and _, not "
                                      "starting with a digit, no C keyword")
                               .arg(name));
        return {FileOutcome::Failed, QString()};
    }
    const auto chosen =
            wb.ui.saveFileName({QStringLiteral("Export C"), QStringLiteral("C Files (*.c)"),
                                QStringLiteral("c"), exportInitialName(wb, u"c")});
    if (!chosen || chosen->isEmpty()) {
        return {FileOutcome::Cancelled, QString()};
    }
    const CExportFiles files = cExportFiles(*chosen);
    for (const QString &path : {files.source, files.header, files.test}) {
        if (refuseRoleClash(wb, path, SaveKind::Report)) {
            return {FileOutcome::Failed, QString()};
        }
    }
    BusyGuard busy(wb.ui);
    const QString function =
            name.isEmpty() ? cIdentifier(QFileInfo(*chosen).completeBaseName()) : name;
    const CExportTexts texts =
            formatCExport(net.value(), function, QFileInfo(files.header).fileName(),
                          runSamples(wb, CExportSampleLimit));
    const Status written = writeFilesTogether({{files.source, texts.source.toUtf8()},
                                               {files.header, texts.header.toUtf8()},
                                               {files.test, texts.test.toUtf8()}});
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    wb.ui.setStatus(QStringLiteral("Exported %1 (function %2), %3 and %4")
                            .arg(files.source, function, files.header, files.test));
    return {FileOutcome::Done, files.source};
}
