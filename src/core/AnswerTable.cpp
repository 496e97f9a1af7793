#include "AnswerTable.h"

#include <QFile>
#include <QStringList>

namespace kelvo
{

QStringList AnswerRow::keyCaptions() const
{
    QStringList captions;
    captions.reserve(keys.size());
    for (const auto &key : keys)
        captions << key.second;
    return captions;
}

QList<AnswerRow> readAnswerTable(const QString &path)
{
    QList<AnswerRow> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QString table = QString::fromUtf8(file.readAll());
    for (const QStringView line : QStringView(table).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QList<QStringView> cells = line.split(QLatin1Char('\t'));
        if (cells.size() < 3)
            continue;
        AnswerRow row;
        bool pageOk = false, itemOk = false;
        row.page = cells[0].toInt(&pageOk);
        row.caption = cells[1].toString();
        row.item = cells[2].toInt(&itemOk);
        if (!pageOk || !itemOk)
            continue;
        for (qsizetype i = 3; i < cells.size(); ++i) {
            const QStringView cell = cells[i];
            const qsizetype eq = cell.indexOf(QLatin1Char('='));
            if (eq > 0) {
                row.keys.append({cell.left(eq).toString(), cell.mid(eq + 1).toString()});
            } else if (cell.size() == 1 && cell[0] >= u'①' && cell[0] <= u'⑨') {
                // The choice item's key: the caption of the box that alone is ticked.
                row.choiceBox = cell[0].unicode() - u'①' + 1;
            }
        }
        rows.append(row);
    }
    return rows;
}

} // namespace kelvo
