#include "storage/HtmlIndex.h"

bool HtmlIndex::generateIndex(const QString& rootPath)
{
    // The generator itself is being built; until then the copy carries the records alone.
    Q_UNUSED(rootPath);
    return true;
}
