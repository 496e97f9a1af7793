#pragma once

#include "core/AnswerTable.h"

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>

#include <array>

class QCheckBox;
class QLabel;
class SecretLabel;
class QLineEdit;
class QWidget;
class TabPanel;

// The answer panel's 56 pages, built from the answer-sheet table in the resources: per
// page its tab caption, its item number and the captions of its hidden key labels.
class AnswerSheet
{
public:
    using Page = kelvo::AnswerRow;

    // The controls of one item. The choice item has neither text nor caption nor key labels:
    // its key is the box that alone is ticked in the correct answer.
    struct Item {
        int item = 0;
        QLineEdit *text = nullptr;
        QLabel *caption = nullptr;
        QLabel *mark = nullptr;
        QList<SecretLabel *> keys;
        int choiceBox = 0;
    };

    // Reads the table; rows that do not parse are left out.
    static QList<Page> readTable(const QString &resource)
    {
        return kelvo::readAnswerTable(resource);
    }

    // Adds one page per row to panel, each with its tab. The controls of the current page
    // are made at once, named and placed; those of the other pages, which the window's first
    // paint does not show, by complete() or by the first accessor that needs them.
    void build(TabPanel *panel, const QList<Page> &pages);

    // Makes the controls of every page that has none yet. The window calls it right after its
    // first paint, so that everything exists once the window is up.
    void complete() const;
    bool isComplete() const { return m_pending.isEmpty(); }

    const Item *item(int n) const;
    QCheckBox *choice(int k) const; // k = 1..9
    SecretLabel *keyLabel(const QString &name) const;
    int keyLabelCount() const;

private:
    void buildPage(QWidget *page, const Page &row) const;
    QWidget *buildChoicePage(QWidget *page) const;

    // What complete() makes, and what the accessors hand out: a cache filled on first need.
    mutable QList<std::pair<QWidget *, Page>> m_pending;
    mutable QPixmap m_circle;
    mutable QHash<int, Item> m_items;
    mutable QHash<QString, SecretLabel *> m_keyLabels;
    mutable std::array<QCheckBox *, 9> m_choices{};
};
