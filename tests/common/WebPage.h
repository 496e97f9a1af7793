#pragma once

#include "common/Documents.h"
#include "common/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace kelvo::test
{

// How long a test waits for the browser engine: its first start on a busy machine.
constexpr int EngineTimeout = 20000;

// Runs a page query whose answer arrives through a callback, waiting for the answer.
template <typename Value, typename Query> std::optional<Value> ask(Query query)
{
    auto answer = std::make_shared<std::optional<Value>>();
    query([answer](const Value &value) { *answer = value; });
    (void)waitFor([&] { return answer->has_value(); }, EngineTimeout);
    return *answer;
}

inline std::optional<QString> plainText(QWebEnginePage *page)
{
    return ask<QString>([page](auto done) { page->toPlainText(done); });
}

inline std::optional<QVariant> evaluate(QWebEnginePage *page, const QString &script)
{
    return ask<QVariant>([&](auto done) { page->runJavaScript(script, done); });
}

// What is logged while it lives, by category; everything goes on to Qt Test as before.
class LogRecorder
{
public:
    LogRecorder()
    {
        QMutexLocker lock(&s_mutex);
        s_lines.clear();
        s_next = qInstallMessageHandler(&LogRecorder::record);
    }
    ~LogRecorder() { qInstallMessageHandler(s_next); }

    LogRecorder(const LogRecorder &) = delete;
    LogRecorder &operator=(const LogRecorder &) = delete;

    // "warning: <text>" and the like, in the order logged under category.
    static QStringList lines(const char *category)
    {
        QMutexLocker lock(&s_mutex);
        QStringList found;
        for (const auto &[name, line] : std::as_const(s_lines))
            if (name == category)
                found << line;
        return found;
    }
    static QStringList warnings(const char *category)
    {
        return lines(category).filter(QRegularExpression("^warning: "));
    }

private:
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        static const char *const names[] = {"debug", "warning", "critical", "fatal", "info"};
        {
            QMutexLocker lock(&s_mutex);
            s_lines.append({QByteArray(context.category ? context.category : "default"),
                            QLatin1String(names[type]) + QLatin1String(": ") + text});
        }
        s_next(type, context, text);
    }

    static inline QtMessageHandler s_next = nullptr;
    static inline QList<std::pair<QByteArray, QString>> s_lines;
    static inline QMutex s_mutex;
};

} // namespace kelvo::test
