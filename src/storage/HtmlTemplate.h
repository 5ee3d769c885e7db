#pragma once

#include <QMap>
#include <QString>

// The marker-based template engine of the HTML index. For a key K the template holds
// placeholders "###K###", replaced by K's value, and blocks from "###K_BEGIN###" to "###K_END###"
// whose body the caller fills (once, or once per list entry) and whose whole text, markers
// included, is then replaced by K's value. Whatever marker is left at the end is removed.
//
// Values are inserted as they are: everything taken from a file name or a record must pass
// through escapeText() or encodeLink() first, so that it can neither break the markup nor be
// read again as a marker.
class HtmlTemplate
{
public:
    using Values = QMap<QString, QString>;

    // The body of key's block in text; *start and *length (when given) receive the position and
    // the length of the whole block, markers included. An empty text (and start -1) when the
    // block is missing or has no end marker.
    static QString extractBlock(const QString& text, const QString& key, int* start = nullptr,
                                int* length = nullptr);

    // Applies every key in ascending order, each to the text as the earlier keys left it: a block
    // of the key with a non-empty body is replaced whole by the value, otherwise every
    // placeholder of the key is. Then every remaining "###...###" is removed.
    static QString fillTemplate(const QString& text, const Values& values);

    // Replaces every character at or above 128 and every character of `characters` by its
    // numeric character reference ("&#228;"); characters outside the Unicode planes (a broken
    // pair) and control characters other than tab and line breaks, which no page may hold, become
    // the replacement character.
    static QString escapeHtml(const QString& text, const QString& characters = QString());

    // A value shown as text: markup characters, quotes and the marker character '#' escaped too.
    static QString escapeText(const QString& text);

    // A relative link to a file or folder name: percent-encoded (UTF-8), '/' kept as separator.
    // Safe inside an attribute and as shown text alike.
    static QString encodeLink(const QString& path);
};
