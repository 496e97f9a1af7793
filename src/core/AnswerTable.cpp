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
            const qsizetype eq = cells[i].indexOf(QLatin1Char('='));
            if (eq <= 0)
                continue;
            const QStringView name = cells[i].left(eq), value = cells[i].mid(eq + 1);
            // The choice item's key: "chkKelvo=3", the box that alone is ticked.
            if (name == QLatin1String("chkKelvo")) {
                const int box = value.toInt();
                row.choiceBox = box >= 1 && box <= 9 ? box : 0;
            } else {
                row.keys.append({name.toString(), value.toString()});
            }
        }
        rows.append(row);
    }
    return rows;
}

} // namespace kelvo
