#pragma once

#include "AccountPages.h"
#include "HtmlDocument.h"

namespace bank {

// The board page's thread table, its seventh TABLE, as cell markup and text;
// empty when the page has fewer tables.
inline QList<TableRow> threadTable(const HtmlDocument& document) {
    QList<TableRow> rows;
    const QList<HtmlElement> tables = document.getElementsByTagName(QStringLiteral("TABLE"));
    if (tables.size() < 7)
        return rows;
    for (const HtmlElement& row : tables[6].rows()) {
        TableRow cells;
        for (const HtmlElement& cell : row.cells())
            cells.append({cell.innerHTML(), cell.innerText()});
        rows.append(cells);
    }
    return rows;
}

} // namespace bank
