#include "QuestionView.h"

#include <QResizeEvent>
#include <QTimer>
#include <QWebEngineView>

// Minimal engine start-up; the document scheme and the event channel come next.
QuestionView::QuestionView(QWidget *parent) : QWidget(parent) {}

QuestionView::~QuestionView() = default;

void QuestionView::registerUrlScheme() {}

void QuestionView::setDocumentPath(const QString &storedPath)
{
    m_storedPath = storedPath;
}

void QuestionView::startEngine()
{
    if (m_engine)
        return;
    m_engine = new QWebEngineView(this);
    m_engine->setGeometry(rect());
    m_engine->show();
}

void QuestionView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_engine && !m_startQueued) {
        m_startQueued = true;
        QTimer::singleShot(0, this, &QuestionView::startEngine);
    }
}

void QuestionView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_engine)
        m_engine->setGeometry(rect());
}
