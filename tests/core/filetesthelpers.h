#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include "linkedengine.h"

// Small helpers of the file-format tests.

// Writes bytes to name in folder and returns the full path.
inline QString writeFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return QString();
    }
    return path;
}

// The file's bytes, empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file of tests/data.
inline QString dataFile(const QString &name)
{
    return QDir(qEnvironmentVariable("AXONA_TEST_DATA")).filePath(name);
}

// Copies the files of tests/data named into folder.
inline bool copyData(const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        if (!QFile::copy(dataFile(name), QDir(folder).filePath(name))) {
            return false;
        }
    }
    return true;
}

// The RMS error of the training set through the engine, or -1 when the model's arrays do not
// fit for the call.
inline float trainingSetError(TestBench &b)
{
    NetModel &m = b.wb.model;
    if (!m.arraysMatchLayers() || m.NumPats < 1 || m.PatIn.rows() != m.NumPats
        || m.PatIn.cols() != m.numInputs() || m.PatOut.cols() != m.numOutputs()) {
        return -1;
    }
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    float rms = 0;
    float target = m.TargetErr;
    int16_t good = 0;
    b.engine.fn().CALCERR(m.Weights.data(), m.PatIn.data(), m.PatOut.data(), m.LayerSize.data(),
                          &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut, &m.NumPats, &nin, &nout,
                          m.NodeOut.data(), &rms, &target, &good, &m.Temp, m.NeuronFunc.data());
    return rms;
}
