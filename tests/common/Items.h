#pragma once

#include "core/AnswerTable.h"

#include <QList>

namespace kelvo::test
{

// The answer-sheet table the program carries, read from the sources.
inline const QList<AnswerRow> &answerTable()
{
    static const QList<AnswerRow> rows =
        readAnswerTable(QStringLiteral(KELVO_SOURCE_DIR "/src/resources/answersheet.tsv"));
    return rows;
}

// The table's row of item n; an empty row for a number that is no item.
inline AnswerRow rowOf(int n)
{
    for (const AnswerRow &row : answerTable())
        if (row.item == n)
            return row;
    return {};
}

// The 55 items answered in a text blank: 1 to 55 but the choice item 49, and 135, in the
// order of their pages.
inline QList<int> textItems()
{
    QList<int> items;
    for (const AnswerRow &row : answerTable())
        if (!row.isChoice())
            items << row.item;
    return items;
}

// An answer that counts for text item n, written with half-width characters (its first key)
// or with full-width ones (its last).
inline QString answerOf(int n, bool fullWidth = false)
{
    const QStringList keys = rowOf(n).keyCaptions();
    return keys.isEmpty() ? QString() : fullWidth ? keys.constLast() : keys.constFirst();
}

} // namespace kelvo::test
