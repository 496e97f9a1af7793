#include "QuestionPage.h"
#include "EngineLog.h"

#include "DocumentSchemeHandler.h"
#include "RefusalLog.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

namespace
{

// What the page says in a box may be long or a flood; the debug log keeps a few words.
QString cut(const QString &text)
{
    constexpr qsizetype Shown = 80;
    return text.size() > Shown ? text.first(Shown) + QStringLiteral("...") : text;
}

// The engine's own question before a page that asks for it (onbeforeunload) is left.
constexpr char LeavePageQuestion[] =
    "Are you sure you want to leave this page? Changes that you made may not be saved.";

} // namespace

QuestionPage::QuestionPage(QWebEngineProfile *profile, RefusalLog *log, QObject *parent)
    : QWebEnginePage(profile, parent), m_log(log)
{
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
}

QuestionPage::~QuestionPage() = default;

bool QuestionPage::isAllowed(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // A form has nowhere to go: the page reaches no server, and the scheme only reads.
    if (type == NavigationTypeFormSubmitted)
        return false;
    if (isMainFrame) {
        QUrl target = url;
        target.setFragment({});
        return target == DocumentSchemeHandler::documentUrl() ||
               target == DocumentSchemeHandler::stoppedUrl();
    }
    return DocumentSchemeHandler::isInDocumentFolder(url);
}

bool QuestionPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    // The link of our page for a renderer that ended: the document is shown again by the
    // program's own load, as when it first showed, so that its script is in place.
    if (isMainFrame && type == NavigationTypeLinkClicked &&
        this->url().adjusted(QUrl::RemoveFragment) == DocumentSchemeHandler::stoppedUrl() &&
        url.adjusted(QUrl::RemoveFragment) == DocumentSchemeHandler::documentUrl()) {
        QTimer::singleShot(0, this, [this] { load(DocumentSchemeHandler::documentUrl()); });
        return false;
    }
    if (isAllowed(url, type, isMainFrame))
        return true;
    const QString target = url.toString(QUrl::FullyEncoded);
    m_log->warnOnce(target,
                    QStringLiteral("refused navigation of the %1 to %2")
                        .arg(isMainFrame ? QLatin1String("page") : QLatin1String("frame"), target));
    return false;
}

void QuestionPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                            const QString &message, int lineNumber,
                                            const QString &sourceId)
{
    qCDebug(lcEngine).noquote() << "console" << level
                                << sourceId + QLatin1Char(':') + QString::number(lineNumber)
                                << cut(message);
}

void QuestionPage::javaScriptAlert(const QUrl &, const QString &msg)
{
    qCDebug(lcEngine).noquote() << "alert not shown:" << cut(msg);
}

bool QuestionPage::javaScriptConfirm(const QUrl &, const QString &msg)
{
    // The engine asks here, in these words, before the page is left (onbeforeunload): the
    // page is always left, so that it never keeps the view from showing the document again.
    if (msg == QCoreApplication::translate("QWebEnginePage", LeavePageQuestion)) {
        qCDebug(lcEngine) << "leave-page box not shown, the page is left";
        return true;
    }
    qCDebug(lcEngine).noquote() << "confirm not shown, answered no:" << cut(msg);
    return false;
}

bool QuestionPage::javaScriptPrompt(const QUrl &, const QString &msg, const QString &, QString *)
{
    qCDebug(lcEngine).noquote() << "prompt not shown, answered nothing:" << cut(msg);
    return false;
}

QStringList QuestionPage::chooseFiles(FileSelectionMode, const QStringList &, const QStringList &)
{
    qCDebug(lcEngine) << "file chooser not shown";
    return {};
}
