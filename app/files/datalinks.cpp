#include "files/datalinks.h"

#include <array>
#include <optional>
#include <utility>

#include <QFileInfo>

#include "files/patterncommands.h"
#include "model/linkreference.h"
#include "model/settings.h"
#include "session/controls.h"
#include "session/desktopport.h"
#include "session/linkport.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

QString setName(int which)
{
    return which == 1 ? QStringLiteral("training set") : QStringLiteral("test set");
}

QLatin1String sourceLabel(int which)
{
    return which == 1 ? Control::LBL_DataFile : Control::LBL_TestFile;
}

// A linked set's new text taken as the set. Rows the set cannot be made of leave it absent, as
// pasted rows do, but still linked: its source keeps showing the reference, for the next text,
// the network file and the re-reads.
void takeLinkedText(Workbench &wb, int which, const QString &text, const QString &reference)
{
    wb.form.setText(which == 1 ? Control::TXT_PAT : Control::TXT_TST, text);
    const bool taken =
            which == 1 ? pastePatterns(wb, text, reference) : pasteTests(wb, text, reference);
    if (!taken) {
        wb.form.setText(sourceLabel(which), reference);
    }
}

// Takes what arrives over a workbench's links, one text at a time.
class DataLinkReceiver final : public QObject
{
public:
    // Its name among the port's children.
    static constexpr QLatin1String Name {"DataLinkReceiver"};

    DataLinkReceiver(Workbench &wb, LinkPort &port)
        : QObject(&port)
        , m_wb(wb)
    {
        setObjectName(Name);
        connect(&port, &LinkPort::dataArrived, this, &DataLinkReceiver::arrived);
        connect(&port, &LinkPort::dataRefused, this, [this](int which, const QString &why) {
            m_wb.ui.setStatus(QStringLiteral("Data link of the %1: %2").arg(setName(which), why));
        });
        connect(&port, &LinkPort::linkEnded, this, [this](int which) {
            m_wb.ui.setStatus(QStringLiteral("The data link of the %1 ended: its server went "
                                             "away")
                                      .arg(setName(which)));
        });
        connect(&port, &LinkPort::clientLeft, this, [this] {
            if (!m_wb.model.NetLoading) {
                m_wb.ui.message(QStringLiteral("DDE Conversation Terminated"), UiPort::Icon::None);
            }
        });
        connect(&port, &LinkPort::wasReset, this, [this] { m_pending = {}; });
        // A training run ends with new weights: texts held back meanwhile are taken then.
        connect(&wb.events, &WorkbenchEvents::weightsChanged, this, &DataLinkReceiver::takePending);
    }

    // Holds incoming texts back while a set is being taken elsewhere.
    class Hold
    {
    public:
        explicit Hold(DataLinkReceiver *r)
            : m_r(r)
        {
            if (m_r) {
                ++m_r->m_holds;
            }
        }

        ~Hold()
        {
            if (m_r && --m_r->m_holds == 0) {
                m_r->takePending();
            }
        }

        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        DataLinkReceiver *m_r;
    };

private:
    void arrived(int which, const QString &text)
    {
        // A network file being read makes its own links; changes meanwhile are not taken.
        if (m_wb.model.NetLoading || which < 1 || which > 2) {
            return;
        }
        m_pending[static_cast<std::size_t>(which - 1)] = text;
        takePending();
    }

    void takePending()
    {
        // Not under a set being taken (its message boxes and progress let texts in), nor under
        // a training run, whose arrays a new set would replace.
        if (m_holds > 0 || !m_wb.model.StopFlag) {
            return;
        }
        ++m_holds;
        for (int which = 1; which <= 2; ++which) {
            auto &pending = m_pending[static_cast<std::size_t>(which - 1)];
            while (pending) {
                const QString text = *std::exchange(pending, std::nullopt);
                takeLinkedText(m_wb, which, text, m_wb.form.text(sourceLabel(which)));
            }
        }
        --m_holds;
    }

    Workbench &m_wb;
    std::array<std::optional<QString>, 2> m_pending;
    int m_holds = 0;
};

DataLinkReceiver *receiverOf(const Workbench &wb)
{
    // Found by name: the class has no meta-object of its own for findChild to tell it apart.
    return wb.links ? static_cast<DataLinkReceiver *>(wb.links->findChild<QObject *>(
                   DataLinkReceiver::Name, Qt::FindDirectChildrenOnly))
                    : nullptr;
}

} // namespace

bool openDataLink(Workbench &wb, const QString &reference, int which, const QString &baseDir)
{
    BusyGuard busy(wb.ui);
    const QString text = reference.trimmed();
    const std::optional<LinkReference> ref = parseLinkReference(text);
    LinkPort::OpenResult r;
    if (!ref) {
        r.error = QStringLiteral("\"%1\" is not a link reference (server|topic!item).").arg(text);
    } else if (!wb.links) {
        r.error = QStringLiteral("Data links are not available here.");
    } else {
        r = wb.links->open(which, ref->server, ref->topic, ref->item);
        if (r.result == LinkPort::Opened::NoServer) {
            if (!startLinkServer(wb, *ref, baseDir)) {
                wb.ui.message(QStringLiteral("Could not Start ") + ref->server
                                      + QStringLiteral("\r\n"),
                              UiPort::Icon::Exclamation, UiPort::Buttons::Ok,
                              QStringLiteral("Axona DDE Failure"));
                return false;
            }
            // Tried until the started server answers; a refusal ends the wait too.
            const bool settled = wb.links->waitForLink([&] {
                r = wb.links->open(which, ref->server, ref->topic, ref->item);
                return r.result != LinkPort::Opened::NoServer;
            });
            wb.model.LinkWaitCancelled = !settled;
            if (!settled) {
                r.result = LinkPort::Opened::Failed;
                r.error = QStringLiteral("Waiting for %1 was cancelled.").arg(ref->server);
            }
        }
    }
    if (r.result != LinkPort::Opened::Linked) {
        wb.ui.setStatus(r.error);
        wb.ui.exclamation(QStringLiteral("Could Not Start DDE"));
        return false;
    }
    DataLinkReceiver::Hold hold(receiverOf(wb));
    takeLinkedText(wb, which, r.text, text);
    return true;
}

bool relinkSet(Workbench &wb, int which)
{
    const QString reference = wb.form.text(sourceLabel(which));
    return openDataLink(wb, reference, which)
            && (which == 1 ? wb.model.HasPatterns : wb.model.HasTest);
}

bool startLinkServer(Workbench &wb, const LinkReference &ref, const QString &baseDir)
{
    const QString program = wb.links ? wb.links->companionProgram() : QString();
    if (program.isEmpty()) {
        return false;
    }
    const QString document =
            resolveStoredName(wb.settings, linkDocument(ref), LocalNameUse::Others, baseDir);
    if (!QFileInfo(document).isFile()) {
        return false;
    }
    return wb.desktop->startDetached(
            program,
            {QStringLiteral("link"), QStringLiteral("serve"), document, QStringLiteral("--server"),
             ref.server, QStringLiteral("--topic"), ref.topic, QStringLiteral("--item"),
             ref.item.isEmpty() ? QStringLiteral("data") : ref.item,
             QStringLiteral("--quit-when-unlinked")});
}

void attachDataLinks(Workbench &wb, LinkPort &port)
{
    wb.links = &port;
    if (!receiverOf(wb)) {
        new DataLinkReceiver(wb, port);
    }
}
