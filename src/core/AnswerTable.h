#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace kelvo
{

// One page of the answer panel, as the answer-sheet table gives it: its tab caption, its item
// and the item's key. A text item's key is its hidden key labels (name and caption); the
// choice item's key is the one box (1 to 9) that is ticked in the correct answer.
struct AnswerRow {
    int page = 0;
    QString caption;
    int item = 0;
    QList<std::pair<QString, QString>> keys; // label name, caption
    int choiceBox = 0;                       // the choice item's correct box, 0 on a text page

    bool isChoice() const { return keys.isEmpty(); }
    // The captions of the key labels: the answers that count.
    QStringList keyCaptions() const;
};

// Reads the table at path (a file or a resource); rows that do not parse are left out.
QList<AnswerRow> readAnswerTable(const QString &path);

} // namespace kelvo
