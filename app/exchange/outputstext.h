#pragma once

#include <optional>
#include <span>

#include <QString>

struct Workbench;

// What the program offers other programs for a pattern set: its network outputs, one line per
// pattern in pattern order, the outputs of a pattern each printed "####0.000000" and separated
// by a tab, every line ended by CR LF.

// Appends one pattern's line of outputs to text.
void appendOutputsLine(QString &text, std::span<const float> outputs);

// An outputs text cut to what a link item holds.
struct OutputsText
{
    // At most MaxLinkItemLength characters.
    QString text;
    // The whole text was longer and has been cut: the caller tells the user.
    bool truncated = false;
};

// The outputs text of the training set (the test set with test): the network run over every
// pattern, each output passed back to data units while the data are held normalised. A set that
// is absent or does not fit the network gives an empty text. Nothing when the engine's forward
// pass is missing (reported). Building stops once the text is known to be too long.
std::optional<OutputsText> outputsText(Workbench &wb, bool test);
