#pragma once

#include <QObject>
#include <QString>

class LinkPort;
struct Workbench;

// The Edit menu's exchange with other programs, on one workbench and its link port: the outputs
// the program offers (the texts of the link ends TXT_PATOUTS and TXT_TSTOUTS, items of those
// names under the topic of the saved network file), the clipboard, and pasting pattern sets as
// live links or as plain rows.
// Made once by the program (or a test); it makes the port the workbench's links.
class DataExchange final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DataExchange)

public:
    DataExchange(Workbench &wb, LinkPort &port, QObject *parent = nullptr);

    // "&Copy Pat Outputs" (test false) and "C&opy Tst Outputs" (test true): the network's
    // outputs for the set, offered under the network file's name as topic and put on the
    // clipboard as text with their link reference beside. A network never saved is refused
    // ("Save Network First") and the clipboard left as it was.
    void copyOutputs(bool test);
    // "&Update Client": both outputs texts computed again and offered to the linked programs.
    void updateClient();
    // "&Paste Pats (Linked)" (which 1) and "Paste &Tst Pats (Linked)" (which 2): links the set
    // to the reference on the clipboard; a clipboard that holds rows of numbers instead (cells
    // copied from a spreadsheet) gives a set pasted once, whose source shows "pasted".
    void paste(int which);

    // The topic the outputs are offered under; empty when nothing is offered.
    const QString &topic() const { return m_topic; }

private:
    // Computes the outputs text of a set into its item (the 32K message when it is cut); false
    // when the engine is missing.
    bool computeOutputs(bool test);
    // Hands both items to the port under the current topic.
    void offerBoth();

    Workbench &m_wb;
    LinkPort &m_port;
    QString m_topic;
};
