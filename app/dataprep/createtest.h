#pragma once

#include <array>
#include <functional>

#include <QString>

struct Workbench;

// What the "Create Test" dialog's controls hold: the method (1 random percent, 2 random start,
// 3 range), the texts of TXT_Data(0..3) ("Percent:", "No. of patterns:", "From:", "To:"), which
// label and text box pairs are visible, and the status bar's first panel.
struct CreateTestChoice
{
    int method = 1;
    std::array<QString, 4> data {QStringLiteral("25"), QString(), QString(), QString()};
    std::array<bool, 4> visible {true, false, false, false};
    QString status;
    // Set by the window: shows a new status text at once.
    std::function<void(const QString &)> onStatus;
};

// How OK ended.
enum class CreateTestEnd {
    Created, // a new test set was cut from the training set
    Declined, // the overwrite question was answered No
    Refused, // an input was refused with its message
    Failed, // the training set could not be read again or the split failed; shown to the user
};

// Opening the dialog: "To:" gets the integer part of NumPats / 4, "Random Percent" is selected.
void openCreateTest(const Workbench &wb, CreateTestChoice &form);

// A click on OPT_Method(index), index 0..2: the method becomes index + 1 and only its label and
// text box (for "Range" also "To:") are visible.
void chooseTestMethod(CreateTestChoice &form, int index);

// "&OK": asks before overwriting a test set, checks the input, reads the training set again
// from its file, takes the chosen patterns out into the test set in memory and brings the model
// and the main window up to date. The dialog closes whatever the outcome.
CreateTestEnd createTest(Workbench &wb, CreateTestChoice &form);
