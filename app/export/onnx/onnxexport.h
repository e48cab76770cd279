#pragma once

#include <QByteArray>

#include "export/netexport.h"
#include "files/fileoutcome.h"
#include "model/result.h"

struct Workbench;

// The network as an ONNX model (opset 13): one input "input" [N, inputs] and one output
// "output" [N, outputs], both float and in data units. Inside, computed in double as the
// workbench sums: the input scaling (Log, Mul, Add; a pattern with an input of 0 or below skips
// the Log), per layer MatMul and Add of the weights and biases held as initializers and its
// neuron function at the temperature (Sigmoid after a Clip to +-82, Tanh, the identity, the
// Gaussian as Exp(-Min(x*x*t, 82)), "Sigmoid+0.1" as Sigmoid), and the output scaling back to data
// units (Sub, Div, Exp on a log side). The names of the inputs and outputs go into the metadata as
// "inputs" and "outputs", the classes as "classes". The model passes onnx::checker; returned
// serialised, or why it failed.
Result<QByteArray> onnxModel(const ExportedNet &net);

// "Export ONNX...": asks for the .onnx file (the save dialog "Export ONNX") and writes the model.
// Refusals and write failures are shown.
FileResult exportOnnx(Workbench &wb);
