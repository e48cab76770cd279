#pragma once

#include <QString>

#include "export/netexport.h"
#include "files/fileoutcome.h"

struct Workbench;

// The network as C99 that needs nothing but libm: NAME.c with the weights, the neuron functions
// and the scaling of inputs and outputs behind one function, void NAME(const float *in,
// float *out), taking and giving data units; NAME.h declaring it; and NAME_test.c, a program that
// runs the training patterns through it and prints the largest difference from the outputs the
// workbench computed for them.

// The three files of an export to path ("dir/net.c": "dir/net.h", "dir/net_test.c").
struct CExportFiles
{
    QString source;
    QString header;
    QString test;
};

CExportFiles cExportFiles(const QString &sourcePath);

// A C identifier made of text: letters, digits and "_", other characters as "_", a leading
// digit or a C keyword prefixed with "net_".
QString cIdentifier(const QString &text);

// Whether text may name the function: an identifier that is no C keyword.
bool isCIdentifier(const QString &text);

// The texts of the three files; headerName is how the source and test include the header.
struct CExportTexts
{
    QString source;
    QString header;
    QString test;
};

CExportTexts formatCExport(const ExportedNet &net,
                           const QString &name,
                           const QString &headerName,
                           const ExportSamples &samples);

// Training patterns at most that the test program carries.
inline constexpr int CExportSampleLimit = 1000;

// "Export C...": asks for the .c file (the save dialog "Export C"), then writes the three files
// together. name is the function's name, by default made of the file's base name. Refusals and
// write failures are shown.
FileResult exportC(Workbench &wb, const QString &name = QString());
