#pragma once

#include <optional>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

// How link references meet the D-Bus session bus.
//
// A link server owns the bus name
//     org.axona.Link.<server>
// and offers each topic as the object
//     /org/axona/Link/topic/<topic>        (an empty topic: /org/axona/Link/topic)
// with the interface org.axona.Link:
//     Advise(s item) -> (s item, s text)   links the caller to the item: it gets the item's name
//                                          and text now and, as the signal Changed(s item,
//                                          s text) sent to the caller alone, every later change
//     Unadvise(s item)                     ends the caller's link
//     Request(s item) -> s text            the item's text once
//     signal Closed(s item)                the server ended the link (the topic was withdrawn)
// An empty item names the topic's only item. Failures are the errors org.axona.Link.Error.NoTopic
// and org.axona.Link.Error.NoItem, whose message says what the server offers; a client that
// leaves the bus is unlinked. Changes are sent at most every 20 ms, the latest text of an item
// replacing one not yet sent. A text holds at most 32767 characters and no NUL character.
//
// Names: bus-name elements and path elements allow only A-Z, a-z, 0-9 and "_", so the server
// name and the topic are escaped: letters and digits stay, every other character becomes "_"
// and the two upper-case hex digits of each of its UTF-8 bytes ("[a b]" -> "_5Ba_20b_5D"), and a
// leading digit is escaped too (a bus-name element cannot start with one). Server names are
// compared without regard to case, so a server name is lower-cased before it is escaped;
// topics and items are kept exactly. Items travel as method arguments and need no escaping.

namespace linkbus {

inline const QString Interface = QStringLiteral("org.axona.Link");
inline const QString BusNamePrefix = QStringLiteral("org.axona.Link.");
inline const QString TopicPathBase = QStringLiteral("/org/axona/Link/topic");
inline const QString ErrorNoTopic = QStringLiteral("org.axona.Link.Error.NoTopic");
inline const QString ErrorNoItem = QStringLiteral("org.axona.Link.Error.NoItem");

// How long a client waits for a server's answer, in milliseconds.
inline constexpr int DefaultTimeout = 5000;

// text with every character but A-Z, a-z and 0-9 written as "_" and hex UTF-8 bytes, and a
// leading digit escaped the same way.
QString escape(const QString &text);
// The text escape() was given; nothing when name is not an escaped text.
std::optional<QString> unescape(const QString &name);

// The bus name of a server; empty when the server name is empty or too long for a bus name.
QString busName(const QString &server);
// The object path of a topic.
QString topicPath(const QString &topic);
// The topic of an object path under TopicPathBase; nothing for any other path.
std::optional<QString> pathTopic(const QString &path);

// Sends call and runs the event loop until its answer arrives or timeoutMs pass, so a
// process can also call a server it runs itself. The answer is a reply or an error message
// (org.freedesktop.DBus.Error.NoReply on time-out).
QDBusMessage
callAndWait(const QDBusConnection &connection, const QDBusMessage &call, int timeoutMs);

} // namespace linkbus
