// A trace record's XML as the HTML index reads it: its settings table, and the folder's page
// listing it with that table.
#include "FuzzSupport.h"
#include "storage/HtmlIndex.h"

#include <QFile>
#include <QRegularExpression>

using FuzzSupport::check;

namespace {

const QString kRecord = QStringLiteral("/data/corvane_data/CV1/2026-12-07_Folder_1/spectrum_20261207_052400.xml");

// Outside the table's own tags nothing may be markup: every record value arrives escaped.
bool onlyEscapedText(QString table)
{
    static const QRegularExpression ownTags(QStringLiteral("<br>|</?table[^>]*>|</?tr>|</?td>"));
    table.remove(ownTags);
    return !table.contains(QLatin1Char('<')) && !table.contains(QLatin1Char('>')) && !table.contains(QLatin1Char('"'))
           && !table.contains(QLatin1String("###"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzSupport::writeFile(kRecord, FuzzSupport::bytes(data, size));
    const QString table = HtmlIndex::traceInfo(FuzzSupport::path(kRecord));
    check(table.isEmpty()
              || (table.startsWith(QLatin1String("<br><table class=\"settings\">\n<tr><td>"))
                  && table.endsWith(QLatin1String("</td></tr>\n</table>\n"))),
          "a settings table with rows, or nothing");
    check(onlyEscapedText(table), "record values are escaped");

    check(HtmlIndex::writeIndex(FuzzSupport::path(QStringLiteral("/data/corvane_data")), QStringLiteral("CV1")),
          "the pages are written");
    QFile page(FuzzSupport::path(QStringLiteral("/data/corvane_data/CV1/2026-12-07_Folder_1/index.html")));
    check(page.open(QIODevice::ReadOnly), "the folder's page exists");
    const QByteArray bytes = page.readAll();
    const QString text = QString::fromUtf8(bytes);
    check(text.toUtf8() == bytes, "the page is UTF-8");
    check(text.contains(QLatin1String("spectrum_20261207_052400.xml")), "the page lists the record");
    check(table.isEmpty() || text.contains(table), "the page holds the record's settings");
    check(!text.contains(QLatin1String("###")), "no template marker is left");
    return 0;
}
