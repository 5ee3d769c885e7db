#include "storage/HtmlTemplate.h"

#include <QRegularExpression>
#include <QUrl>
#include <QVector>

namespace {

QString beginMarker(const QString& key)
{
    return QStringLiteral("###%1_BEGIN###").arg(key);
}

QString endMarker(const QString& key)
{
    return QStringLiteral("###%1_END###").arg(key);
}

QString placeholder(const QString& key)
{
    return QStringLiteral("###%1###").arg(key);
}

// Characters a page must not carry, even as a reference: C0 controls other than tab and line
// breaks, DEL, the C1 controls, lone surrogates and the non-characters.
bool isForbidden(uint code)
{
    if (code < 0x20)
        return code != '\t' && code != '\n' && code != '\r';
    if (code >= 0x7F && code <= 0x9F)
        return true;
    if (code >= 0xD800 && code <= 0xDFFF)
        return true;
    if (code >= 0xFDD0 && code <= 0xFDEF)
        return true;
    return (code & 0xFFFE) == 0xFFFE || code > 0x10FFFF;
}

} // namespace

QString HtmlTemplate::extractBlock(const QString& text, const QString& key, int* start, int* length)
{
    if (start)
        *start = -1;
    if (length)
        *length = 0;
    const QString begin = beginMarker(key);
    const QString end = endMarker(key);
    const int from = text.indexOf(begin);
    if (from < 0)
        return QString();
    const int bodyStart = from + begin.size();
    const int to = text.indexOf(end, bodyStart);
    if (to < 0)
        return QString();
    if (start)
        *start = from;
    if (length)
        *length = to + end.size() - from;
    return text.mid(bodyStart, to - bodyStart);
}

QString HtmlTemplate::fillTemplate(const QString& text, const Values& values)
{
    QString result = text;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        int start = -1;
        int length = 0;
        const QString body = extractBlock(result, it.key(), &start, &length);
        if (start < 0 || body.isEmpty())
            result.replace(placeholder(it.key()), it.value());
        else
            result.replace(start, length, it.value());
    }
    static const QRegularExpression leftover(QStringLiteral("###[^#]*###"));
    result.remove(leftover);
    return result;
}

QString HtmlTemplate::escapeHtml(const QString& text, const QString& characters)
{
    QString result;
    result.reserve(text.size());
    const QVector<uint> codes = text.toUcs4();
    for (uint code : codes) {
        if (isForbidden(code))
            code = 0xFFFD;
        if (code >= 128 || (code < 128 && characters.contains(QChar(code))))
            result += QStringLiteral("&#%1;").arg(code);
        else
            result += QChar(code);
    }
    return result;
}

QString HtmlTemplate::escapeText(const QString& text)
{
    return escapeHtml(text, QStringLiteral("<>&\"'#"));
}

QString HtmlTemplate::encodeLink(const QString& path)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(path, QByteArrayLiteral("/")));
}
