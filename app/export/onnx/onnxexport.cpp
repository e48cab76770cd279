#include "export/onnx/onnxexport.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <onnx/checker.h>
#include <onnx/onnx_pb.h>

#include "files/savesafety.h"
#include "model/textfile.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

constexpr int Opset = 13;
// Runtimes from 2021 on read IR version 7 (opset 13's own); newer ones read it too.
constexpr int IrVersion = 7;
constexpr float ExpClamp = 82.0f;

// Builds the graph node by node; every value gets a fresh name from its step.
class GraphBuilder
{
public:
    explicit GraphBuilder(onnx::GraphProto &graph)
        : m_graph(graph)
    {}

    std::string constant(const std::string &name,
                         const std::vector<float> &values,
                         const std::vector<std::int64_t> &dims)
    {
        onnx::TensorProto *t = m_graph.add_initializer();
        t->set_name(name);
        t->set_data_type(onnx::TensorProto::DOUBLE);
        for (const std::int64_t d : dims) {
            t->add_dims(d);
        }
        for (const float v : values) {
            t->add_double_data(v);
        }
        return name;
    }

    std::string boolConstant(const std::string &name, const std::vector<bool> &values)
    {
        onnx::TensorProto *t = m_graph.add_initializer();
        t->set_name(name);
        t->set_data_type(onnx::TensorProto::BOOL);
        t->add_dims(static_cast<std::int64_t>(values.size()));
        for (const bool v : values) {
            t->add_int32_data(v ? 1 : 0);
        }
        return name;
    }

    // A scalar made once, however many nodes use it.
    std::string scalar(const std::string &name, float value)
    {
        if (m_scalars.insert(name).second) {
            constant(name, {value}, {});
        }
        return name;
    }

    // The value converted to type (a TensorProto data type).
    std::string cast(const std::string &x, int type, const std::string &prefix)
    {
        const std::string out = node("Cast", {x}, prefix);
        onnx::AttributeProto *to = last().add_attribute();
        to->set_name("to");
        to->set_type(onnx::AttributeProto::INT);
        to->set_i(type);
        return out;
    }

    // One node of op over the inputs; its single output is named after prefix.
    std::string node(const std::string &op,
                     const std::vector<std::string> &inputs,
                     const std::string &prefix,
                     const std::string &output = std::string())
    {
        onnx::NodeProto *n = m_graph.add_node();
        const std::string out = output.empty() ? prefix + "_" + std::to_string(++m_count) : output;
        n->set_op_type(op);
        n->set_name(out);
        for (const std::string &in : inputs) {
            n->add_input(in);
        }
        n->add_output(out);
        m_last = n;
        return out;
    }

    // The last node made, for its attributes.
    onnx::NodeProto &last() { return *m_last; }

    // Renames the last node's output, so the graph ends in a value of that name.
    void renameLast(const std::string &name)
    {
        m_last->set_output(0, name);
        m_last->set_name(name);
    }

private:
    onnx::GraphProto &m_graph;
    onnx::NodeProto *m_last = nullptr;
    int m_count = 0;
    std::set<std::string> m_scalars;
};

void addTensorValue(onnx::ValueInfoProto *value, const std::string &name, int columns)
{
    value->set_name(name);
    onnx::TypeProto_Tensor *tensor = value->mutable_type()->mutable_tensor_type();
    tensor->set_elem_type(onnx::TensorProto::FLOAT);
    onnx::TensorShapeProto *shape = tensor->mutable_shape();
    shape->add_dim()->set_dim_param("N");
    shape->add_dim()->set_dim_value(columns);
}

// a * x + b per column, x being ln(input) for a pattern whose inputs are all above 0 on a log
// side.
std::string scaleInputs(GraphBuilder &g, const ExportedNet &net, const std::string &input)
{
    if (!net.in.on) {
        return input;
    }
    std::string x = input;
    if (net.in.log) {
        const std::string logged = g.node("Log", {input}, "in_log");
        const std::string smallest = g.node("ReduceMin", {input}, "in_min");
        onnx::AttributeProto *axes = g.last().add_attribute();
        axes->set_name("axes");
        axes->set_type(onnx::AttributeProto::INTS);
        axes->add_ints(1);
        const std::string positive =
                g.node("Greater", {smallest, g.scalar("zero", 0.0f)}, "in_positive");
        x = g.node("Where", {positive, logged, input}, "in_logged");
    }
    const auto n = static_cast<std::int64_t>(net.inputs);
    const std::string scaled = g.node("Mul", {x, g.constant("in_a", net.in.a, {n})}, "in_scaled");
    return g.node("Add", {scaled, g.constant("in_b", net.in.b, {n})}, "in_norm");
}

std::string neuronFunction(GraphBuilder &g,
                           int16_t code,
                           const std::string &x,
                           const std::string &temp,
                           const std::string &prefix)
{
    const std::string xt = g.node("Mul", {x, temp}, prefix + "_xt");
    switch (code) {
    case 2:
        return xt;
    case 3:
        return g.node("Tanh", {xt}, prefix + "_tanh");
    case 4: {
        const std::string square = g.node("Mul", {x, x}, prefix + "_square");
        const std::string z = g.node("Mul", {square, temp}, prefix + "_z");
        const std::string clamped =
                g.node("Min", {z, g.scalar("exp_clamp", ExpClamp)}, prefix + "_clamped");
        const std::string negative = g.node("Neg", {clamped}, prefix + "_neg");
        return g.node("Exp", {negative}, prefix + "_gauss");
    }
    default: {
        const std::string clipped = g.node(
                "Clip", {xt, g.scalar("exp_clamp_low", -ExpClamp), g.scalar("exp_clamp", ExpClamp)},
                prefix + "_clip");
        return g.node("Sigmoid", {clipped}, prefix + "_sigmoid");
    }
    }
}

// The outputs back in data units: (y - b) / a, e^ of that on a log side; a column with a = 0
// keeps y.
std::string unscaleOutputs(GraphBuilder &g, const ExportedNet &net, const std::string &y)
{
    if (!net.out.on) {
        return y;
    }
    const auto n = static_cast<std::int64_t>(net.outputs);
    std::vector<float> a = net.out.a;
    std::vector<bool> keep(a.size(), false);
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k] == 0.0f) {
            keep[k] = true;
            a[k] = 1.0f;
        }
    }
    const std::string shifted =
            g.node("Sub", {y, g.constant("out_b", net.out.b, {n})}, "out_shifted");
    std::string x = g.node("Div", {shifted, g.constant("out_a", a, {n})}, "out_scaled");
    if (net.out.log) {
        x = g.node("Exp", {x}, "out_exp");
    }
    if (std::find(keep.begin(), keep.end(), true) != keep.end()) {
        x = g.node("Where", {g.boolConstant("out_keep", keep), y, x}, "out_kept");
    }
    return x;
}

} // namespace

Result<QByteArray> onnxModel(const ExportedNet &net)
{
    onnx::ModelProto model;
    model.set_ir_version(IrVersion);
    model.set_producer_name("Axona");
    model.set_model_version(1);
    model.set_doc_string(net.title.toStdString());
    onnx::OperatorSetIdProto *opset = model.add_opset_import();
    opset->set_domain("");
    opset->set_version(Opset);
    const auto meta = [&](const char *key, const QString &value) {
        onnx::StringStringEntryProto *entry = model.add_metadata_props();
        entry->set_key(key);
        entry->set_value(value.toStdString());
    };
    QStringList outputs;
    for (int k = 0; k < net.outputs; ++k) {
        outputs << net.names.outputLabel(k);
    }
    meta("inputs", net.names.inputs.join(u','));
    meta("outputs", outputs.join(u','));
    if (const QStringList classes = net.names.classes(); !classes.isEmpty()) {
        meta("classes", classes.join(u','));
    }

    onnx::GraphProto *graph = model.mutable_graph();
    graph->set_name("axona_net");
    addTensorValue(graph->add_input(), "input", net.inputs);
    addTensorValue(graph->add_output(), "output", net.outputs);
    GraphBuilder g(*graph);
    const std::string temp = g.scalar("temperature", net.temperature);

    // The sums are made in double, as the workbench makes them, so that the model gives its
    // outputs to the last digits of a single whatever the network's gains.
    std::string x = scaleInputs(g, net, g.cast("input", onnx::TensorProto::DOUBLE, "input_double"));
    for (std::size_t l = 0; l < net.layers.size(); ++l) {
        const ExportedNet::Layer &layer = net.layers[l];
        const std::string prefix = "layer" + std::to_string(l + 2);
        // MatMul wants the weights input by node: [inputs, nodes].
        std::vector<float> w;
        std::vector<float> bias;
        for (int i = 0; i < layer.inputs; ++i) {
            for (int j = 0; j < layer.nodes; ++j) {
                w.push_back(layer.weight(j, i));
            }
        }
        for (int j = 0; j < layer.nodes; ++j) {
            bias.push_back(layer.weight(j, layer.inputs));
        }
        const std::string product = g.node(
                "MatMul", {x, g.constant(prefix + "_weights", w, {layer.inputs, layer.nodes})},
                prefix + "_matmul");
        const std::string sum =
                g.node("Add", {product, g.constant(prefix + "_bias", bias, {layer.nodes})},
                       prefix + "_net");
        x = neuronFunction(g, layer.function, sum, temp, prefix);
    }
    x = unscaleOutputs(g, net, x);
    g.cast(x, onnx::TensorProto::FLOAT, "output");
    g.renameLast("output");

    try {
        onnx::checker::check_model(model);
    } catch (const std::exception &e) {
        return LoadError {0,
                          QStringLiteral("The ONNX model fails its check: %1")
                                  .arg(QString::fromUtf8(e.what()))};
    }
    std::string bytes;
    if (!model.SerializeToString(&bytes)) {
        return LoadError {0, QStringLiteral("The ONNX model could not be serialised")};
    }
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

FileResult exportOnnx(Workbench &wb)
{
    const Result<ExportedNet> net = exportedNet(wb);
    if (!net) {
        wb.ui.critical(net.error().message);
        return {FileOutcome::Failed, QString()};
    }
    const auto chosen = wb.ui.saveFileName(
            {QStringLiteral("Export ONNX"), QStringLiteral("ONNX Models (*.onnx)"),
             QStringLiteral("onnx"), exportInitialName(wb, u"onnx")});
    if (!chosen || chosen->isEmpty()) {
        return {FileOutcome::Cancelled, QString()};
    }
    if (refuseRoleClash(wb, *chosen, SaveKind::Report)) {
        return {FileOutcome::Failed, QString()};
    }
    BusyGuard busy(wb.ui);
    const Result<QByteArray> model = onnxModel(net.value());
    const Status written = model ? writeFileBytes(*chosen, model.value()) : Status(model.error());
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    wb.ui.setStatus(QStringLiteral("Exported %1").arg(*chosen));
    return {FileOutcome::Done, *chosen};
}
