// The baseline of the question view: a bare QWebEngineView of the question view's size that
// loads the document given on the command line through a URL scheme handler of its own, the
// same kind of load the program makes (a custom scheme, the file's bytes served as HTML in
// code page 932), in the default (off-the-record) profile.
#include "BareProbe.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

namespace
{

const QByteArray kScheme = QByteArrayLiteral("bare-doc");

class FileSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    explicit FileSchemeHandler(QString path, QObject *parent)
        : QWebEngineUrlSchemeHandler(parent), m_path(std::move(path))
    {
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *buffer = new QBuffer(job);
        buffer->setData(file.readAll());
        job->reply(QByteArrayLiteral("text/html;charset=Shift_JIS"), buffer);
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);

    QApplication app(argc, argv);
    const QString path = app.arguments().value(1);

    QWebEngineView view;
    auto *handler = new FileSchemeHandler(path, &view);
    view.page()->profile()->installUrlSchemeHandler(kScheme, handler);
    BareProbe probe;
    QObject::connect(&view, &QWebEngineView::loadFinished, &probe, &BareProbe::loaded);
    view.resize(625, 369);
    view.show();
    view.load(QUrl(QString::fromLatin1(kScheme + "://document/")));
    return app.exec();
}
