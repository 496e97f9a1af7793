#pragma once

#include "controls/Fonts.h"
#include "controls/QuestionEngineInterface.h"
#include "controls/QuestionView.h"

#include <QApplication>
#include <QTest>

namespace kelvo::test
{

// An engine whose view stays empty and loads nothing: the question view of a test that does
// not look at the page costs no browser and reads no file.
class NoEngine : public QuestionEngineInterface
{
public:
    explicit NoEngine(QWidget *host) : m_widget(new QWidget(host)) {}
    ~NoEngine() override { delete m_widget.data(); }
    QWidget *widget() const override { return m_widget; }
    void load(const QString &) override {}

private:
    QPointer<QWidget> m_widget;
};

// Keeps the last engine's view and callbacks, for a test that ends its load itself.
class NoEngineFactory : public QuestionEngineFactory
{
public:
    QuestionEngineInterface *createEngine(QWidget *host,
                                          const QuestionEngineInterface::Callbacks &given) override
    {
        auto *engine = new NoEngine(host);
        callbacks = given;
        view = engine->widget();
        return engine;
    }
    QuestionEngineInterface::Callbacks callbacks;
    QPointer<QWidget> view;
};

inline void useNoEngine()
{
    static NoEngineFactory factory;
    QuestionView::setEngineFactory(&factory);
}

} // namespace kelvo::test

// main() for a Qt Test executable of the windows and controls: the application set up as the
// program sets it up for them (OpenGL sharing for the browser engine, the Japanese Gothic
// face), with question views that stay empty unless the test puts an engine in place.
#define KELVO_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        QApplication app(argc, argv);                                                              \
        kelvo::installFontSubstitutions();                                                         \
        kelvo::test::useNoEngine();                                                                \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
