#pragma once

#include "DocumentFolder.h"

#include <QByteArray>
#include <QString>

// The page shown in place of a question document that cannot be shown: a short Japanese page,
// in UTF-8 whatever the locale, that names the path the document is read from, why it could
// not be read, and the command that puts it there. It runs no script.
class MissingDocumentPage
{
public:
    // The page for the document at localPath (empty when this system has no place for it),
    // which could not be read for the given reason.
    static QByteArray html(const QString &localPath, DocumentFolder::Status reason);

    // The page shown when the renderer of the document has ended: it says that the questions
    // stopped, that the answers and the time are untouched, and links back to the document.
    static QByteArray stoppedHtml();

    static QByteArray contentType() { return QByteArrayLiteral("text/html;charset=utf-8"); }

    // The shell command that installs the document, read-only for everyone else, at
    // localPath; arguments that the shell would split or expand are quoted.
    static QString installCommand(const QString &localPath);
};
