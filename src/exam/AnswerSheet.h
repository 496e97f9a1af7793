#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;
class TabPanel;

// The answer panel's 56 pages, built from the answer-sheet table in the resources: per
// page its tab caption, its item number and the captions of its hidden key labels.
class AnswerSheet
{
public:
    struct Page {
        int page = 0;
        QString caption;
        int item = 0;
        QList<std::pair<QString, QString>> keys; // label name, caption
    };

    // The controls of one item. The choice item has neither text nor caption nor keys.
    struct Item {
        int item = 0;
        QLineEdit *text = nullptr;
        QLabel *caption = nullptr;
        QLabel *mark = nullptr;
        QList<QLabel *> keys;
    };

    // Reads the table; rows that do not parse are left out.
    static QList<Page> readTable(const QString &resource);

    // Adds one page per row to panel, each with its controls named and placed.
    void build(TabPanel *panel, const QList<Page> &pages);

    const Item *item(int n) const;
    QCheckBox *choice(int k) const; // k = 1..9
    QLabel *keyLabel(const QString &name) const { return m_keyLabels.value(name); }
    int keyLabelCount() const { return int(m_keyLabels.size()); }

private:
    QWidget *buildChoicePage(QWidget *page);

    QHash<int, Item> m_items;
    QHash<QString, QLabel *> m_keyLabels;
    std::array<QCheckBox *, 9> m_choices{};
};
