#pragma once

#include <QList>
#include <QWidget>

class QButtonGroup;
class TabButton;

// The rows of tabs of a TabPanel: tabsPerRow tabs to a row, each row tabHeight pixels high,
// the bar's width shared out evenly. Like QTabBar it is one stop of the Tab key, with the
// current tab drawn focused; the arrow keys move the current tab, Left and Right to the
// neighbour, Up and Down to the tab in the row above or below, Home and End to the first and
// the last. A screen reader sees a page-tab list whose page tabs follow the focus.
class TabPanelBar : public QWidget
{
    Q_OBJECT
public:
    explicit TabPanelBar(QWidget *parent = nullptr);
    ~TabPanelBar() override;

    int addTab(const QString &caption);
    int count() const { return int(m_tabs.size()); }
    TabButton *tab(int index) const;
    int indexOf(const QWidget *tab) const;

    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);

    int tabsPerRow() const { return m_tabsPerRow; }
    void setTabsPerRow(int tabs);
    int tabHeight() const { return m_tabHeight; }
    void setTabHeight(int pixels);
    int rowCount() const;
    // The height of all rows: the bar's height once laid out.
    int rowsHeight() const { return rowCount() * m_tabHeight; }

    // The tab the arrow or Home/End key leads to from the current one; the current one
    // where it leads nowhere.
    int targetOf(int key) const;

Q_SIGNALS:
    // A tab was pressed with the mouse (or its press action was done).
    void tabClicked(int index);
    // A key asked for another tab; the focus stays on the bar.
    void tabRequested(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutTabs();
    void placeTab(int index);
    void announceFocus();

    QButtonGroup *m_group;
    QList<TabButton *> m_tabs;
    int m_current = -1;
    int m_tabsPerRow = 1;
    int m_tabHeight = 20;
};
