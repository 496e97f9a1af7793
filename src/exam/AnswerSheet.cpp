#include "AnswerSheet.h"

#include "AnswerSheetAccessible.h"
#include "SecretLabel.h"
#include "controls/TabPanel.h"
#include "core/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>

#include <limits>

namespace
{

QString indexed(const QString &family, int index)
{
    return family + QLatin1Char('_') + QString::number(index);
}

} // namespace

void AnswerSheet::build(TabPanel *panel, const QList<Page> &pages)
{
    kelvo::installAnswerSheetAccessibility();
    for (const Page &row : pages) {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("SSTab2_page%1").arg(row.page));
        page->setAutoFillBackground(true);
        // The item is known from the start; its controls come with its page.
        m_items.insert(row.item, Item{row.item, nullptr, nullptr, nullptr, {}, row.choiceBox});
        m_pending.append({page, row});
        panel->addPage(page, row.caption);
    }
    // The page the first paint shows.
    QWidget *current = panel->currentWidget();
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        if (m_pending.at(i).first == current) {
            const auto [page, row] = m_pending.takeAt(i);
            buildPage(page, row);
            break;
        }
    }
}

void AnswerSheet::complete() const
{
    while (!m_pending.isEmpty()) {
        const auto [page, row] = m_pending.takeFirst();
        buildPage(page, row);
    }
}

void AnswerSheet::buildPage(QWidget *page, const Page &row) const
{
    if (m_circle.isNull())
        m_circle = QIcon(QStringLiteral(":/images/maru.ico")).pixmap(32, 32);
    Item &item = m_items[row.item];
    item.item = row.item;
    // A screen reader names every answer by its item, as its tab does.
    const QString answerName = row.caption + QStringLiteral(" の答え");
    if (row.isChoice()) {
        buildChoicePage(page)->setAccessibleName(answerName);
    } else {
        item.caption = new QLabel(QStringLiteral("答え"), page);
        item.caption->setObjectName(indexed(QStringLiteral("Label3"), row.item));
        item.caption->setGeometry(kelvo::twipsRect(1320, 1560, 495, 255));
        // A reader names a blank by its label rather than by its own name: the label too
        // names the item.
        item.caption->setAccessibleName(answerName);

        item.text = new QLineEdit(page);
        item.text->setObjectName(indexed(QStringLiteral("Text"), row.item));
        item.text->setGeometry(kelvo::twipsRect(1920, 1440, 5175, 495));
        item.text->setMaxLength(std::numeric_limits<int>::max());
        item.text->setAccessibleName(answerName);
        item.caption->setBuddy(item.text);

        for (const auto &[name, caption] : row.keys) {
            auto *key = new SecretLabel(caption, page);
            key->setObjectName(name);
            key->setVisible(false);
            item.keys.append(key);
            m_keyLabels.insert(name, key);
        }
    }
    item.mark = new QLabel(page);
    item.mark->setObjectName(indexed(QStringLiteral("pctマル"), row.item));
    item.mark->setGeometry(kelvo::twipsRect(480, 1440, 495, 495));
    item.mark->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    item.mark->setPixmap(m_circle);
    item.mark->setAccessibleName(QStringLiteral("正解"));
    item.mark->setVisible(false);

    if (row.item == 48) {
        // Under the tab rows, unseen, and it reads as the answer of its page.
        auto *label5 = new SecretLabel(QStringLiteral("611"), page);
        label5->setObjectName(QStringLiteral("Label5"));
        label5->setGeometry(kelvo::twipsRect(0, 0, 495, 255));
    }
    // A page made after the window is up does not show new controls by itself: every control
    // not hidden on purpose (the mark, the keys) is shown with its page.
    for (QWidget *child : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->setVisible(true);
    }
}

QWidget *AnswerSheet::buildChoicePage(QWidget *page) const
{
    auto *frame = new QGroupBox(QStringLiteral("答え"), page);
    frame->setObjectName(QStringLiteral("Frame3"));
    frame->setGeometry(kelvo::twipsRect(1320, 1320, 6975, 615));
    static constexpr struct {
        int left, width;
    } boxes[9] = {{360, 735},  {1080, 495}, {1800, 735}, {2520, 735}, {3240, 615},
                  {3960, 615}, {4680, 615}, {5400, 495}, {6120, 495}};
    static const QString captions = QStringLiteral("①②③④⑤⑥⑦⑧⑨");
    for (int k = 1; k <= 9; ++k) {
        auto *box = new QCheckBox(captions.at(k - 1), frame);
        box->setObjectName(indexed(QStringLiteral("chkKelvo"), k));
        box->setGeometry(kelvo::twipsRect(boxes[k - 1].left, 240, boxes[k - 1].width, 255));
        m_choices[k - 1] = box;
    }
    return frame;
}

const AnswerSheet::Item *AnswerSheet::item(int n) const
{
    complete();
    const auto it = m_items.constFind(n);
    return it == m_items.cend() ? nullptr : &it.value();
}

QCheckBox *AnswerSheet::choice(int k) const
{
    complete();
    return k >= 1 && k <= 9 ? m_choices[k - 1] : nullptr;
}

SecretLabel *AnswerSheet::keyLabel(const QString &name) const
{
    complete();
    return m_keyLabels.value(name);
}

int AnswerSheet::keyLabelCount() const
{
    complete();
    return int(m_keyLabels.size());
}
