#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

// Opens each window class of the program at most once. A window is created from its
// factory when it is first shown, brought to the front when it is shown again, and
// destroyed when it is closed, by the program or by its close box; the next show then
// starts again from the factory. Every window is top-level and modeless, without owner.
class WindowRegistry : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<QWidget *()>;

    explicit WindowRegistry(QObject *parent = nullptr);
    ~WindowRegistry() override;

    void registerWindow(const QString &name, Factory factory);

    // Creates the window, centred on the screen, or makes the open one visible and
    // brings it to the front. Returns the instance, or nullptr for an unknown name.
    QWidget *show(const QString &name);

    // Closes and destroys the window if it is open; does nothing otherwise.
    void close(const QString &name);

    // The open instance, or nullptr.
    QWidget *window(const QString &name) const;
    bool isOpen(const QString &name) const { return window(name) != nullptr; }

    // The exit command: closes the exam window, then the six pass-line windows, then the
    // help window, each where open, and keeps going after the window that asked is gone.
    void exitAll();
    static const QStringList &exitOrder();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<QWidget>> m_open;
};
