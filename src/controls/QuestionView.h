#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <memory>

class QuestionEngineInterface;

// Scriptlet1: shows the question document, an HTML file kept at a stored absolute path,
// and passes on the events the page raises with window.external.raiseEvent(name, data).
// The browser engine starts only after the view has first been shown and painted, so the
// window around it paints without waiting for it; its libraries are loaded only then. The page
// reaches neither the network nor any file but its own document.
class QuestionView : public QWidget
{
    Q_OBJECT
public:
    explicit QuestionView(QWidget *parent = nullptr);
    ~QuestionView() override;

    // Puts in place the shared OpenGL context the browser engine needs, but leaves making it
    // to the first engine start: making it takes the application's start a good tenth of a
    // second, before any window can paint. Call before the QApplication is created, with
    // Qt::AA_ShareOpenGLContexts set.
    static void deferSharedGraphicsContext();
    // Makes the deferred context, if it is not made yet. Every engine start does this first;
    // any other code that creates browser-engine objects must call it before.
    static void createSharedGraphicsContext();

    // The stored (Windows) path of the document; loaded once the engine runs, and loaded
    // again at once when it changes while the engine runs.
    void setDocumentPath(const QString &storedPath);
    QString documentPath() const { return m_storedPath; }

    // The file the stored path names on this system.
    QString localDocumentPath() const;

    // The browser view (a QWebEngineView), or nullptr while the engine has not been started
    // or could not be loaded.
    QWidget *engineWidget() const;

    // Starts the engine and loads the document now rather than after the first paint. When
    // the engine's module cannot be loaded the view stays empty and reports a failed load.
    void startEngine();

Q_SIGNALS:
    void documentEvent(const QString &name, const QVariant &data);
    void loadFinished(bool ok);
    // A request of the page that was kept from the network or the file system.
    void requestBlocked(const QUrl &url);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_storedPath;
    std::unique_ptr<QuestionEngineInterface> m_engine;
    bool m_engineMissing = false;
    bool m_startQueued = false;
    bool m_paintSeen = false;
};
