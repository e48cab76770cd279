#pragma once

#include <QString>

struct Workbench;

// Allocates every array from the layer list shown in the "Net Size" panel and gives the network
// fresh random weights. Refuses a network over the weight limit: the message is shown and the
// arrays, the capacities and the sizes the engine sees stay those of the previous network.
// Returns whether the network was built.
bool buildNetwork(Workbench &wb);

// Count, minimum and maximum of the live weights into the "Weights" panel.
void showWeightStats(Workbench &wb);

// "Randomize": fresh weights and cleared training memory, same arrays.
void randomizeWeights(Workbench &wb);

// Clears the gradient and step memory, keeping the weights (after a weight file is loaded).
void clearTrainingMemory(Workbench &wb);

// Layer spinner: one layer more (up) or less (down), within 2..5; then rebuild.
void addLayer(Workbench &wb);
void removeLayer(Workbench &wb);

// A line of the layer list was selected.
void selectLayer(Workbench &wb, int index);

// A neuron function was chosen for the selected layer (list position 0..4).
void chooseNeuronFunction(Workbench &wb, int position);

// "Change": commits the size typed into the layer list for the selected layer.
void changeLayerSize(Workbench &wb, const QString &typed);

// The layer list's text was edited: asks before an input or output size change drops the
// loaded data. Returns false when the user declined and the text was put back.
bool layerTextEdited(Workbench &wb, const QString &typed);

// "New Net": asks, then resets to the defaults and builds. Returns whether it did.
bool newNet(Workbench &wb);
