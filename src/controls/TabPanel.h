#pragma once

#include <QWidget>

class QStackedWidget;
class TabButton;
class TabPanelBar;

// A tab panel whose tabs stand in rows (tabsPerRow to a row, each row tabHeight pixels),
// over a stack of pages. A page covers the whole panel, tab rows included, so the
// controls on it are placed relative to the panel's top-left corner; the tabs lie on top.
// Speaks QTabWidget's vocabulary; Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp change
// pages while the focus is inside the panel, and a page chosen by the user receives the
// focus on its first control. The rows of tabs take the focus as a QTabBar does: the arrow
// keys move between the tabs, Tab goes on into the page. A screen reader finds the tabs
// first, as a page-tab list, then the pages. Usable from Designer as a promoted container
// whose pages are added with addPage(), the page's windowTitle being its tab caption.
class TabPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int tabsPerRow READ tabsPerRow WRITE setTabsPerRow)
    Q_PROPERTY(int tabHeight READ tabHeight WRITE setTabHeight)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentChanged)
    Q_PROPERTY(int count READ count)
public:
    explicit TabPanel(QWidget *parent = nullptr);
    ~TabPanel() override;

    int addPage(QWidget *page);
    int addPage(QWidget *page, const QString &caption);

    int count() const;
    QString tabText(int index) const;
    QWidget *widget(int index) const;
    QWidget *currentWidget() const;
    int currentIndex() const;
    int indexOf(const QWidget *page) const;

    int tabsPerRow() const;
    void setTabsPerRow(int tabs);
    int tabHeight() const;
    void setTabHeight(int pixels);
    int rowCount() const;

    // The tab of page index, for drawing checks and tests.
    TabButton *tabButton(int index) const;
    // The rows of tabs: the widget that takes the focus for them.
    TabPanelBar *tabBar() const { return m_bar; }

    // Puts the focus on the first control of the current page that takes it from the
    // keyboard, as a page chosen by the user gets it.
    void focusCurrentPage();

public Q_SLOTS:
    void setCurrentIndex(int index);

Q_SIGNALS:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutTabs();
    void step(int delta);
    void selectByUser(int index);
    void focusFirstControl(QWidget *page);

    // Created first, so that the Tab key meets the tabs before the pages.
    TabPanelBar *m_bar;
    QStackedWidget *m_stack;
};
