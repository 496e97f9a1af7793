#include "frmKelvo.h"
#include "ui_frmKelvo.h"

#include "SecretLabel.h"

#include "controls/ClientArea.h"
#include "controls/Notice.h"
#include "core/AppDir.h"
#include "core/Marking.h"
#include "core/PassRate.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

namespace
{

// The chime's file name in the program's folder, as the build installs it.
const QString kChime = QStringLiteral(KELVO_CHIME);
const QString kTimeUp = QStringLiteral("0:00");

// A time left, a fraction of a day, written "h:mm".
QString hoursAndMinutes(double fractionOfDay)
{
    const qint64 ms = qRound64(fractionOfDay * 86'400'000.0);
    return QTime(0, 0).addMSecs(ms).toString(QStringLiteral("h:mm"));
}

int msOfDay(const QTime &time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() : -1;
}

} // namespace

frmKelvo::frmKelvo(const QString &questionDocument, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::frmKelvo), m_timer(new QTimer(this)),
      m_clock([] { return QTime::currentTime(); }), m_monotonic([] {
          static QElapsedTimer since = [] {
              QElapsedTimer t;
              t.start();
              return t;
          }();
          return since.elapsed();
      })
{
    ui->setupUi(this);
    // Designer stores whole point sizes only.
    for (QWidget *w : {static_cast<QWidget *>(ui->lbl秒), static_cast<QWidget *>(ui->Label2),
                       static_cast<QWidget *>(ui->lbl得点)}) {
        QFont font = w->font();
        font.setPointSizeF(14.25);
        w->setFont(font);
    }
    ui->centralwidget->resize(792, 554);
    m_notice = new Notice(ui->centralwidget);
    // On a screen smaller than the window the client area scrolls.
    new ClientArea(takeCentralWidget(), this);
    m_sheet.build(ui->SSTab2, AnswerSheet::readTable(QStringLiteral(":/tables/answersheet.tsv")));
    ui->Scriptlet1->setDocumentPath(questionDocument);
    // The first measure of text, once the controls are made: the fonts may still be loading.
    resize(792, 554 + menuBar()->sizeHint().height());

    m_timer->setObjectName(QStringLiteral("tmr時間"));
    m_timer->setInterval(1000);

    connect(ui->cmdスタート, &QPushButton::clicked, this, &frmKelvo::cmdスタート_Click);
    connect(ui->cmd得点, &QPushButton::clicked, this, &frmKelvo::cmd得点_Click);
    connect(ui->cmd合格率, &QPushButton::clicked, this, &frmKelvo::cmd合格率_Click);
    connect(m_timer, &QTimer::timeout, this, &frmKelvo::tmr時間_Timer);
    connect(ui->mnuExit, &QAction::triggered, this, &frmKelvo::mnuExit_Click);
    connect(ui->mnuAbout, &QAction::triggered, this, &frmKelvo::mnuAbout_Click);
    connect(ui->Scriptlet1, &QuestionView::documentEvent, this,
            &frmKelvo::Scriptlet1_DocumentEvent);

    // After every handler that may change the score or the time left, a screen reader hears
    // the new value.
    for (QPushButton *button : {ui->cmdスタート, ui->cmd得点})
        connect(button, &QPushButton::clicked, this, &frmKelvo::announceValues);
    connect(m_timer, &QTimer::timeout, this, &frmKelvo::announceValues);
    announceValues();
}

frmKelvo::~frmKelvo() = default;

// The answer pages that the first paint does not show are made right after it, or half a
// second after the window shows if no paint comes (a window opened minimised).
void frmKelvo::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_sheet.isComplete())
        QTimer::singleShot(500, this, [this] { m_sheet.complete(); });
}

void frmKelvo::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (!m_sheet.isComplete())
        QTimer::singleShot(0, this, [this] { m_sheet.complete(); });
}

QLineEdit *frmKelvo::Text(int n) const
{
    const AnswerSheet::Item *item = m_sheet.item(n);
    return item ? item->text : nullptr;
}

QLabel *frmKelvo::Label3(int n) const
{
    const AnswerSheet::Item *item = m_sheet.item(n);
    return item ? item->caption : nullptr;
}

QLabel *frmKelvo::pctマル(int n) const
{
    const AnswerSheet::Item *item = m_sheet.item(n);
    return item ? item->mark : nullptr;
}

QCheckBox *frmKelvo::chkKelvo(int k) const
{
    return m_sheet.choice(k);
}

void frmKelvo::cmdスタート_Click()
{
    m_timer->start();
    Minutes = 60;
    updateRemainingTime();
    ui->lbl秒->setText(hoursAndMinutes(RemainingTime));
    m_steps = kelvo::countdown::start(msOfDay(m_clock()), m_monotonic());
    ui->cmdスタート->setEnabled(false);
    setScoreCaption(QString());
    for (const int n : kelvo::marking::markingOrder()) {
        if (QLabel *mark = pctマル(n))
            mark->setVisible(false);
    }
    // The start button is disabled now and would hand the focus to the score button, where
    // one stray Space would end the attempt: the student types answers, so the answer goes
    // to the current answer page.
    ui->SSTab2->focusCurrentPage();
}

// Steps a minute at the first tick in a new minute of the clock, bounded by the real time
// since the start (kelvo::countdown::tick).
void frmKelvo::tmr時間_Timer()
{
    const int now = msOfDay(m_clock());
    if (Minutes > 0) {
        const kelvo::countdown::Tick step = kelvo::countdown::tick(m_steps, now, m_monotonic());
        m_steps = step.next;
        if (step.stepped) {
            if (Seconds == 0) {
                Minutes -= 1;
                Seconds = 0;
            }
            updateRemainingTime();
            ui->lbl秒->setText(hoursAndMinutes(RemainingTime));
        }
    }

    ui->MMControl1->setFileName(AppDir() + kChime);
    ui->MMControl1->setCommand(QStringLiteral("Open"));

    if (ui->lbl秒->text() == kTimeUp) {
        m_timer->stop();
        PlaySound();
    }
}

void frmKelvo::cmd得点_Click()
{
    using namespace kelvo::marking;
    std::array<qint32, kTableSize + 1> points{};
    ui->cmdスタート->setEnabled(true);
    ui->lbl秒->setText(QString());
    m_timer->stop();

    for (const int n : markingOrder()) {
        const AnswerSheet::Item *item = m_sheet.item(n);
        if (!item)
            continue;
        bool correct = false;
        if (!item->text) { // the choice item
            std::array<bool, 9> ticked{};
            for (int k = 1; k <= 9; ++k)
                ticked[k - 1] = chkKelvo(k)->isChecked();
            correct = choiceItemCorrect(ticked, item->choiceBox);
        } else {
            QStringList keys;
            keys.reserve(item->keys.size());
            for (const SecretLabel *key : item->keys)
                keys.append(key->caption());
            correct = textItemCorrect(item->text->text(), keys);
        }
        item->mark->setVisible(correct);
        if (correct)
            points[n] = pointsFor(n);
    }

    qint32 total = 0;
    for (int slot = 1; slot <= kTableSize; ++slot)
        total += points[slot];
    setScoreCaption(QString::number(total));
}

void frmKelvo::cmd合格率_Click()
{
    using kelvo::passrate::Choice;
    const Choice choice = kelvo::passrate::choiceFor(ui->lbl得点->text());
    switch (choice.kind) {
    case Choice::Nothing:
        break;
    case Choice::ExamWindow:
        raise();
        activateWindow();
        break;
    case Choice::PassLine:
        Q_EMIT passLineWindowRequested(choice.band);
        break;
    }
}

void frmKelvo::mnuExit_Click()
{
    Q_EMIT exitRequested();
}

void frmKelvo::mnuAbout_Click()
{
    Q_EMIT helpRequested();
}

void frmKelvo::Scriptlet1_DocumentEvent(const QString &, const QVariant &)
{
    PlaySound();
}

QString frmKelvo::AppDir() const
{
    static const QString folder = kelvo::appDir();
    return folder;
}

void frmKelvo::PlaySound()
{
    ui->MMControl1->setCommand(QStringLiteral("Prev"));
    ui->MMControl1->setCommand(QStringLiteral("Play"));
}

void frmKelvo::setScoreCaption(const QString &caption)
{
    ui->lbl得点->setText(caption);
    ui->lbl得点->adjustSize();
}

// The score and the time left are named with their values, "得点 140" and "残り時間 0:45",
// for a reader that looks at them. A reader is told a new score, and the time left at the
// start, every ten minutes, each of the last five minutes and at 0:00: through the notice,
// since the focus is elsewhere (on the blank being typed into) and stays there.
void frmKelvo::announceValues()
{
    const int minutesLeft = Hours * 60 + Minutes;
    const struct {
        QLabel *label;
        QString name;
        bool worthSaying;
    } values[] = {
        {ui->lbl得点, QStringLiteral("得点"), true},
        {ui->lbl秒, QStringLiteral("残り時間"), minutesLeft % 10 == 0 || minutesLeft <= 5}};
    for (const auto &[label, name, worthSaying] : values) {
        const QString spoken =
            label->text().isEmpty() ? name : name + QLatin1Char(' ') + label->text();
        // Setting the name announces it, so only a changed one is set.
        if (label->accessibleName() == spoken)
            continue;
        label->setAccessibleName(spoken);
        if (worthSaying && !label->text().isEmpty())
            m_notice->say(spoken);
    }
}

void frmKelvo::updateRemainingTime()
{
    RemainingTime = (Hours * 3600.0 + Minutes * 60.0 + Seconds) / 86400.0;
}
