#pragma once

#include "AnswerSheet.h"

#include <QMainWindow>
#include <QTime>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class WindowRegistry;

namespace Ui
{
class frmKelvo;
}

// The exam window: the start button and its sixty-minute countdown, the question and
// answer panels, the score button that marks the paper, the pass-rate button, the chime.
class frmKelvo : public QMainWindow
{
    Q_OBJECT
public:
    using Clock = std::function<QTime()>;

    // registry opens the pass-line and help windows and serves the exit command; without
    // one (some tests) those commands do nothing.
    explicit frmKelvo(WindowRegistry *registry = nullptr, QWidget *parent = nullptr);
    ~frmKelvo() override;

    // The controls of the indexed families; nullptr for an index that does not exist.
    QLineEdit *Text(int n) const;
    QLabel *Label3(int n) const;
    QLabel *pctマル(int n) const;
    QCheckBox *chkKelvo(int k) const;
    QLabel *keyLabel(const QString &name) const { return m_sheet.keyLabel(name); }
    QTimer *tmr時間() const { return m_timer; }

    // Handlers, as the controls and the timer call them.
    void cmdスタート_Click();
    void tmr時間_Timer();
    void cmd得点_Click();
    void cmd合格率_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void Scriptlet1_DocumentEvent(const QString &name, const QVariant &data);

    // The time of day the countdown follows; tests replace it.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The countdown's values: the time left as a fraction of a day, and its parts.
    double remainingTime() const { return RemainingTime; }
    qint16 hours() const { return Hours; }
    qint16 minutes() const { return Minutes; }
    qint16 seconds() const { return Seconds; }

private:
    QString AppDir() const;
    void PlaySound();
    void setScoreCaption(const QString &caption);
    void updateRemainingTime();

    const std::unique_ptr<Ui::frmKelvo> ui;
    WindowRegistry *m_registry;
    AnswerSheet m_sheet;
    QTimer *m_timer;
    Clock m_clock;
    int m_lastMinute = -1; // minute of the day of the last minute step, or of the start

    double RemainingTime = 0;
    qint16 Hours = 0;
    qint16 Minutes = 0;
    qint16 Seconds = 0;
};
