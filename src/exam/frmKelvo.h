#pragma once

#include "AnswerSheet.h"

#include "core/Countdown.h"

#include <QMainWindow>
#include <QTime>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class Notice;
class QLineEdit;
class QTimer;

namespace Ui
{
class frmKelvo;
}

// The exam window: the start button and its sixty-minute countdown, the question and
// answer panels, the score button that marks the paper, the pass-rate button, the chime.
// Other windows it only asks for, through its signals; the application opens them.
class frmKelvo : public QMainWindow
{
    Q_OBJECT
public:
    using Clock = std::function<QTime()>;
    using MonotonicClock = std::function<qint64()>; // milliseconds, never going back

    // questionDocument is the stored path of the question document that the question view
    // shows (a Windows path, mapped to this system, or a local path); empty shows none.
    explicit frmKelvo(const QString &questionDocument, QWidget *parent = nullptr);
    ~frmKelvo() override;

    // The controls of the indexed families; nullptr for an index that does not exist.
    QLineEdit *Text(int n) const;
    QLabel *Label3(int n) const;
    QLabel *pctマル(int n) const;
    QCheckBox *chkKelvo(int k) const;
    SecretLabel *keyLabel(const QString &name) const { return m_sheet.keyLabel(name); }
    QTimer *tmr時間() const { return m_timer; }

    // Handlers, as the controls and the timer call them.
    void cmdスタート_Click();
    void tmr時間_Timer();
    void cmd得点_Click();
    void cmd合格率_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void Scriptlet1_DocumentEvent(const QString &name, const QVariant &data);

    // The time of day the countdown follows, and the real time that bounds it; tests
    // replace them.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setMonotonicClock(MonotonicClock clock) { m_monotonic = std::move(clock); }

    // The countdown's values: the time left as a fraction of a day, and its parts.
    double remainingTime() const { return RemainingTime; }
    qint16 hours() const { return Hours; }
    qint16 minutes() const { return Minutes; }
    qint16 seconds() const { return Seconds; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

Q_SIGNALS:
    // The pass-rate button asks for the pass-line window of the score's band (1 for the top
    // band; kelvo::passrate).
    void passLineWindowRequested(int band);
    // The about command.
    void helpRequested();
    // The exit command: every window of the program closes.
    void exitRequested();

private:
    QString AppDir() const;
    void PlaySound();
    void setScoreCaption(const QString &caption);
    void announceValues();
    void updateRemainingTime();

    const std::unique_ptr<Ui::frmKelvo> ui;
    AnswerSheet m_sheet;
    QTimer *m_timer;
    Notice *m_notice;
    Clock m_clock;
    MonotonicClock m_monotonic;
    kelvo::countdown::Steps m_steps;

    double RemainingTime = 0;
    qint16 Hours = 0;
    qint16 Minutes = 0;
    qint16 Seconds = 0;
};
