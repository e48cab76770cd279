#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringDecoder>

#include <axona32.h>

#include "linkedroutines.h"
#include "session/engineapi.h"
#include "session/uiport.h"

// A fuzz input as the readers get a file: UTF-8, or Latin-1 when it is not valid UTF-8.
inline QString fuzzText(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// Nobody there: boxes are answered OK or No, dialogs cancelled.
class SilentUi final : public UiPort
{
public:
    Answer message(const QString &, Icon, Buttons buttons, const QString &) override
    {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::No;
    }

    std::optional<QString> openFileName(const FileRequest &) override { return std::nullopt; }

    std::optional<QString> saveFileName(const FileRequest &) override { return std::nullopt; }

    void setStatus(const QString &) override {}

    void setBusy(bool) override {}

    void yield() override {}
};
