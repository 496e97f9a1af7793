// A browser engine plugin built for another version of the program's engine interface: the
// question view must refuse it before running any of its code.
#include <QObject>
#include <QtPlugin>

class WrongVersionPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "jp.bralden.Kelvo.QuestionEngineFactory/0")
public:
    WrongVersionPlugin() { qFatal("the question view ran code of a plugin it should refuse"); }
};

#include "WrongVersionPlugin.moc"
