#include "session/uiport.h"

UiPort::~UiPort() = default;

void UiPort::filesSaved(const QStringList &paths)
{
    QString text = QStringLiteral("Saved ") + paths.value(0);
    for (qsizetype i = 1; i < paths.size(); ++i) {
        text += (i + 1 == paths.size() ? QStringLiteral(" and ") : QStringLiteral(", ")) + paths[i];
    }
    setStatus(text);
}
