#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <memory>

class QuestionEngineFactory;
class QuestionEngineInterface;

// Scriptlet1: shows the question document, an HTML file kept at a stored absolute path,
// and passes on the events the page raises with window.external.raiseEvent(name, data).
// The browser engine starts only after the view has first been shown and painted, so the
// window around it paints without waiting for it; its plugin and libraries are loaded only
// then. The page reaches neither the network nor any file outside its document's folder.
class QuestionView : public QWidget
{
    Q_OBJECT
public:
    explicit QuestionView(QWidget *parent = nullptr);
    ~QuestionView() override;

    // Views started from now on make their engine with factory instead of the plugin's;
    // nullptr goes back to the plugin. The factory must outlive those views' engines.
    static void setEngineFactory(QuestionEngineFactory *factory);
    // The folder views look in for the engine plugin: the program's folder unless set.
    static void setPluginFolder(const QString &folder);

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
    // the engine's plugin cannot be loaded (missing, or built for another version of the
    // interface) the view stays empty, reports a failed load and logs one warning.
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
    // Lets the engine's view paint (see startEngine).
    void releasePaint();

    QString m_storedPath;
    std::unique_ptr<QuestionEngineInterface> m_engine;
    bool m_engineMissing = false;
    bool m_startQueued = false;
    bool m_paintSeen = false;
};
