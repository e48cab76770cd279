#include "exchange/dataexchange.h"

#include "exchange/outputstext.h"
#include "files/datalinks.h"
#include "files/patterncommands.h"
#include "model/linkreference.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/linkport.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

// The items are the hidden link ends that hold the outputs texts, by their names.
QLatin1String outputsItem(bool test)
{
    return test ? Control::TXT_TSTOUTS : Control::TXT_PATOUTS;
}

} // namespace

DataExchange::DataExchange(Workbench &wb, LinkPort &port, QObject *parent)
    : QObject(parent)
    , m_wb(wb)
    , m_port(port)
{
    attachDataLinks(wb, port);
    connect(&port, &LinkPort::wasReset, this, [this] { m_topic.clear(); });
    // New data give new outputs: the programs linked to them get them at once (a linked set that
    // changed, above all). Not while a network file is read or training runs.
    connect(&wb.events, &WorkbenchEvents::dataChanged, this, [this] {
        if (!m_topic.isEmpty() && !m_wb.model.NetLoading && m_wb.model.StopFlag) {
            updateClient();
        }
    });
}

void DataExchange::copyOutputs(bool test)
{
    NetModel &m = m_wb.model;
    if (!m.HasNetFile) {
        m_wb.ui.exclamation(QStringLiteral("Save Network First"));
        return;
    }
    BusyGuard busy(m_wb.ui);
    if (!computeOutputs(test)) {
        return;
    }
    m_topic = m.NetFileName;
    offerBoth();
    const QString server = m_port.serverName();
    m_port.setClipboard(m_wb.form.text(outputsItem(test)),
                        server.isEmpty() ? QString()
                                         : formatLinkReference(server, m_topic, outputsItem(test)));
}

void DataExchange::updateClient()
{
    BusyGuard busy(m_wb.ui);
    if (!computeOutputs(false)) {
        return;
    }
    if (m_wb.model.HasTest && !computeOutputs(true)) {
        return;
    }
    if (!m_topic.isEmpty()) {
        offerBoth();
    }
}

void DataExchange::paste(int which)
{
    NetModel &m = m_wb.model;
    BusyGuard busy(m_wb.ui);
    bool &linked = which == 1 ? m.PatsLinked : m.TestLinked;
    QString reference = m_port.clipboardReference();
    const QString text = m_port.clipboardText();
    // A reference copied as plain text (from a terminal, say) links as well; rows of numbers
    // never hold the "|" a reference needs.
    if (reference.isEmpty() && parseLinkReference(text)) {
        reference = text.trimmed();
    }
    if (!reference.isEmpty()) {
        if (openDataLink(m_wb, reference, which)) {
            linked = true;
            (which == 1 ? m.PatsUnsaved : m.TestUnsaved) = false;
        }
        updateCommands(m_wb);
        return;
    }
    if (text.trimmed().isEmpty()) {
        m_wb.ui.exclamation(QStringLiteral("The clipboard holds no link reference and no rows of "
                                           "pattern data."));
        return;
    }
    // Rows pasted once replace the set; a link it had ends.
    m_port.close(which);
    linked = false;
    const bool taken = which == 1 ? pastePatterns(m_wb, text, pastedCaption())
                                  : pasteTests(m_wb, text, pastedCaption());
    if (taken) {
        // Like a set made by Create Test it has no file: "Save Pats As" offers to write one, and
        // saving the network asks for one first.
        m.SetsRegenerated = true;
        (which == 1 ? m.PatsUnsaved : m.TestUnsaved) = true;
    }
    updateCommands(m_wb);
}

bool DataExchange::computeOutputs(bool test)
{
    const std::optional<OutputsText> out = outputsText(m_wb, test);
    if (!out) {
        return false;
    }
    if (out->truncated) {
        m_wb.ui.critical(QStringLiteral("Outputs data too big (>32K) will be truncated"));
    }
    m_wb.form.setText(outputsItem(test), out->text);
    return true;
}

void DataExchange::offerBoth()
{
    const FormState &f = m_wb.form;
    if (!m_port.offer(m_topic, Control::TXT_PATOUTS, f.text(Control::TXT_PATOUTS))
        || !m_port.offer(m_topic, Control::TXT_TSTOUTS, f.text(Control::TXT_TSTOUTS))) {
        m_wb.ui.setStatus(QStringLiteral("The outputs cannot be offered to other programs: "
                                         "there is no session bus (D-Bus)."));
    }
}
