#include "PassLineWindow.h"

#include "WindowsAccessible.h"
#include "controls/ClientArea.h"
#include "controls/Fonts.h"
#include "controls/RichTextView.h"
#include "core/PassRate.h"
#include "core/Twips.h"

#include <QKeySequence>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QShortcut>

#include <algorithm>
#include <array>

Q_LOGGING_CATEGORY(lcPassLine, "kelvo.passline", QtWarningMsg)

namespace
{

const QColor kWindowColour(255, 128, 128);

// What tells the windows apart: the verdict labels, one row per band of the pass-rate rule.
struct Verdict {
    const char16_t *rate;
    QRgb rateColour;
    int rateLeft, rateWidth;
    const char16_t *comment;
    int commentLeft, commentWidth;
};

constexpr auto kVerdicts = std::to_array<Verdict>({
    {u" 合格率 ９９％", qRgb(255, 0, 0), 4680, 2415,
     u" あなたはカンニングの天才です・・・バレなければ一流大学９９％合格です。", 1320, 9135},
    {u" 合格率 ８０％", qRgb(255, 192, 128), 4680, 2535,
     u" 一流大学までもう少しです。 一生懸命お祈りしましょう。", 2400, 6975},
    {u" 合格率 ５０％", qRgb(255, 255, 128), 4680, 2535,
     u" 三流大学でも危ないです。 一生懸命お祈りしましょう。", 2520, 6735},
    {u" 合格率 １０％", qRgb(128, 255, 128), 4680, 2535,
     u" 受験料がもったいないです。 合コン生活はあきらめましょう。", 2160, 7455},
    {u" 合格率 ０％", qRgb(128, 255, 255), 4800, 2175,
     u" 神頼みは通じません。 来年の進学はあきらめましょう。", 2520, 6735},
    {u" 予測不能", qRgb(128, 128, 255), 5160, 1815,
     u" 勉強しても無駄です。 日本を脱出して一旗揚げましょう。", 2400, 6975},
});
static_assert(kVerdicts.size() == kelvo::passrate::kBandCount,
              "every band of the pass-rate rule has its verdict row, and only those");

// A plain opaque label: left-aligned, one line, never resizing itself.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption,
                  const QColor &background, const QRect &geometry, const QFont &font)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    return label;
}

// The window's pink, painted rather than given as the palette's window colour, which the
// document view would take for its frame and scroll bar.
class PinkClient : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), kWindowColour); }
};

} // namespace

QString PassLineWindow::nameFor(int band)
{
    return QStringLiteral("frm合格ライン%1").arg(band);
}

PassLineWindow::PassLineWindow(int band, QWidget *parent)
    : QWidget(parent, Qt::Window), m_band(std::clamp(band, 1, kelvo::passrate::kBandCount))
{
    if (band != m_band)
        qCWarning(lcPassLine) << "no pass-line window for band" << band << "- showing band"
                              << m_band;
    kelvo::installWindowsAccessibility();
    setObjectName(nameFor(m_band));
    setWindowTitle(QStringLiteral("合格ライン"));
    setFont(kelvo::gothicFont(9));
    const QSize size = kelvo::twipsSize(11880, 8595);
    resize(size);

    m_client = new PinkClient(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->resize(size);

    // Created in this order, so the labels lie above the view.
    m_view = new RichTextView(m_client);
    m_view->setObjectName(QStringLiteral("RichTextBox1"));
    m_view->setGeometry(kelvo::twipsRect(0, 1200, 11895, 7455));
    m_view->loadRtf(QStringLiteral(":/documents/passline.rtf"));

    const Verdict &v = kVerdicts[m_band - 1];
    m_comment = makeLabel(m_client, QStringLiteral("Label2"), QString::fromUtf16(v.comment),
                          kWindowColour, kelvo::twipsRect(v.commentLeft, 720, v.commentWidth, 255),
                          kelvo::gothicFont(12, true));
    m_rate = makeLabel(m_client, QStringLiteral("Label1"), QString::fromUtf16(v.rate),
                       QColor(v.rateColour), kelvo::twipsRect(v.rateLeft, 120, v.rateWidth, 375),
                       kelvo::gothicFont(15.75, true));

    setAccessibleDescription(m_rate->text().trimmed() + QLatin1Char(' ') +
                             m_comment->text().trimmed());
    new ClientArea(m_client, this);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    m_view->setFocus(Qt::OtherFocusReason);
}

PassLineWindow::~PassLineWindow() = default;

QWidgetList PassLineWindow::readingOrder() const
{
    return {m_rate, m_comment, m_view};
}
