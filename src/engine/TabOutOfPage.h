#pragma once

#include <QObject>

class QWidget;

// The question view's place in the window's tab order. The browser view is made after the
// window's other controls, and would come last: it is put where the question view stands.
// Tab and Shift+Tab in it go at once to the window's next or previous control, as from every
// other control, instead of to the page: a page whose script never ends would otherwise hold
// the keyboard focus for good, since the page decides where its Tab goes. (The links of a
// question document are no stops the student needs; the view still takes the focus, and the
// page's keys scroll it.)
class TabOutOfPage : public QObject
{
    Q_OBJECT
public:
    // Watches view and every widget it gets, for as long as view lives.
    explicit TabOutOfPage(QWidget *view);
    ~TabOutOfPage() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QObject *object);
    void placeInTabOrder();

    QWidget *m_view;
};
