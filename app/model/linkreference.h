#pragma once

#include <optional>

#include <QString>
#include <QStringView>

// Live data links between programs. A link reference names one item another program offers:
//
//     server "|" topic "!" item          e.g.  sheet|[prices.tsv]Sheet1!data
//                                              Axona32|/home/ann/nets/xor.net!TXT_PATOUTS
//
// The server is the offering program's link name, the topic the document it offers (a
// spreadsheet writes the book in square brackets followed by the sheet), the item one value of
// that document. The same text is what the clipboard carries and what a network file records
// for a linked set.

// Most characters a link item carries; longer texts are cut (the program's outputs) or refused.
inline constexpr int MaxLinkItemLength = 32767;

// Longest reference text taken from the clipboard or a file; anything longer is not a reference.
inline constexpr int MaxLinkReferenceLength = 4096;

// A reference split into its parts.
struct LinkReference
{
    QString server;
    QString topic;
    QString item;
    // The folder written between "|" and "[" of a spreadsheet-style topic
    // ("C:\data\[book.xls]Sheet1"): where the document was when the link was made. It is not
    // part of the topic the server is asked for.
    QString directory;
};

// Splits a reference. The server is the text before the first "|" and must not be empty. With
// a "!" after the "|", the item is the text after the last "!" (topics are often file names,
// which may hold a "!"; items do not) and the topic the text before it, from its "[" when it
// has one. Without a "!", the whole text after the "|" is the topic and the item is empty.
// Blanks, tabs and line ends around the text are ignored (a clipboard text often ends with a
// line end); a text with other control characters, an empty server or more than
// MaxLinkReferenceLength characters is no reference.
std::optional<LinkReference> parseLinkReference(QStringView text);

// The reference text of server, topic and item: server "|" topic "!" item.
QString formatLinkReference(const QString &server, const QString &topic, const QString &item);

// The document a reference's topic names, for starting a server that does not answer: the
// folder and the name in square brackets of a spreadsheet-style topic ("dir\[book.xls]Sheet1"
// gives "dir\book.xls"), otherwise the whole topic.
QString linkDocument(const LinkReference &ref);

// The link reference of a network file's data-source line, which marks a linked set with "!"
// (files from older versions use "$") in front of the reference; nothing for a file name.
std::optional<QString> linkedSource(QStringView sourceLine);

// The MIME type under which the clipboard carries a link reference, beside the plain-text
// values: the data are the reference text in UTF-8, without a line end.
inline QString linkReferenceMimeType()
{
    return QStringLiteral("application/x-axona-link");
}
