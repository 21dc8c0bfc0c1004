#include "FieldSelector.h"

#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitShapes.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/KeyboardUse.h>
#include <corvane/controls/Lamp.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QTextLayout>

namespace corvane {

namespace {

constexpr qreal trayRadius = 10;
constexpr qreal capRadius = 7;
constexpr qreal capDrop = 2;
constexpr int padding = 8; // at either side of a label; a two-line label still fits the least height
constexpr int lampGap = 7;
constexpr int lampSize = 7;
constexpr int segmentHeight = 44;
constexpr qreal disabledOpacity = 0.6;

// One option: a button that draws its cap or tint, its lamp and its label. Clicking asks; it never
// selects itself, so the selection always is what the owner says.
class Segment final : public QAbstractButton {
public:
    Segment(const FieldSelector::Option& option, QWidget* parent)
        : QAbstractButton(parent)
        , m_option(option)
        , m_lamp(option.warns ? new Lamp(ReadoutLamp::waiting, lampSize, this) : nullptr) {
        setText(option.label);
        setCheckable(true); // screen readers hear which one is selected
        setAutoExclusive(true);
        setFont(FieldUnitText::monospaced(13, 0.6));
        setFocusPolicy(Qt::StrongFocus);
        KeyboardUse::watch();
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }

    QSize sizeHint() const override {
        const QSize text = label(QFontMetrics(font()).horizontalAdvance(printed()) + 1).size;
        return {text.width() + lampRoom() + 2 * padding, std::max(segmentHeight, text.height())};
    }
    QSize minimumSizeHint() const override { return {lampRoom() + 2 * padding + 40, segmentHeight}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return std::max(segmentHeight, label(textRoom(width)).size.height());
    }

protected:
    void nextCheckState() override {}

    // Tab comes to the selector on its chosen option, as to a group of radio buttons.
    void focusInEvent(QFocusEvent* event) override {
        const bool tabbed =
            event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
        if (tabbed && !isChecked())
            for (QAbstractButton* option :
                 parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
                if (option->isChecked() && option->isEnabled()) {
                    option->setFocus(event->reason());
                    return;
                }
        QAbstractButton::focusInEvent(event);
    }

    // Arrows move the focus along the options and choose nothing; Space or Return chooses.
    void keyPressEvent(QKeyEvent* event) override {
        const int step = event->key() == Qt::Key_Left || event->key() == Qt::Key_Up      ? -1
                         : event->key() == Qt::Key_Right || event->key() == Qt::Key_Down ? 1
                                                                                         : 0;
        if (step == 0) {
            QAbstractButton::keyPressEvent(event);
            return;
        }
        event->accept();
        const QList<QAbstractButton*> row =
            parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        const qsizetype next = row.indexOf(this) + step;
        if (next >= 0 && next < row.size())
            row[next]->setFocus(Qt::OtherFocusReason);
    }

    void resizeEvent(QResizeEvent*) override {
        if (!m_lamp)
            return;
        const int left = (width() - label(textRoom(width())).size.width() - lampRoom()) / 2;
        const QSize lamp = m_lamp->sizeHint();
        // The lamp's widget is larger than its dot (room for the glow): centre the dot.
        m_lamp->setGeometry(left + (lampSize - lamp.width()) / 2, (height() - lamp.height()) / 2,
                            lamp.width(), lamp.height());
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const bool selected = isChecked();
        const QRectF cap = QRectF(rect()).adjusted(0, 0, 0, -capDrop);
        if (selected) {
            FieldUnitShapes::drawRaised(painter, cap, capRadius, capDrop, FU::edgeDeep, FU::keyHi, FU::edge);
        } else if (m_option.warns) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(FU::wellWarning);
            painter.drawRoundedRect(cap, capRadius, capRadius);
        }
        if (KeyboardUse::showsFocus(*this))
            FieldUnitShapes::drawFocusRing(painter, cap, capRadius);
        const Label text = label(textRoom(width()));
        const int left = (width() - text.size.width() - lampRoom()) / 2 + lampRoom();
        painter.setPen(selected ? FU::ink : FU::silk);
        painter.setFont(font());
        const int lineSpacing = QFontMetrics(font()).lineSpacing();
        int top = (height() - text.size.height()) / 2;
        for (const QString& line : text.lines) {
            painter.drawText(QRect(left, top, text.size.width(), lineSpacing), Qt::AlignCenter, line);
            top += lineSpacing;
        }
    }

private:
    QString printed() const { return text().toLower(); }
    int lampRoom() const { return m_lamp ? lampSize + lampGap : 0; }
    // The label's lines when it may be `width` wide, two at the most, the second ending in "…" when the
    // words do not fit; and the size they take.
    struct Label {
        QStringList lines;
        QSize size;
    };
    Label label(int width) const {
        const QString words = printed();
        const QFontMetrics metrics(font());
        QTextLayout layout(words, font());
        Label result;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1, width));
            if (result.lines.size() == 1) { // the last line there is room for takes the rest of the words
                result.lines.append(metrics.elidedText(words.mid(line.textStart()), Qt::ElideRight, width));
                break;
            }
            result.lines.append(words.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
        for (const QString& line : std::as_const(result.lines))
            result.size.setWidth(std::max(result.size.width(), metrics.horizontalAdvance(line)));
        result.size.setHeight(static_cast<int>(result.lines.size()) * metrics.lineSpacing());
        return result;
    }
    // The room the label has in a segment `width` wide.
    int textRoom(int width) const { return width - lampRoom() - 2 * padding; }

    FieldSelector::Option m_option;
    Lamp* m_lamp;
};

} // namespace

FieldSelector::FieldSelector(const QList<Option>& options, int selection, QWidget* parent)
    : QWidget(parent)
    , m_selection(selection) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(5, 5, 5, 5);
    row->setSpacing(5);
    for (int index = 0; index < options.size(); ++index) {
        auto* segment = new Segment(options[index], this);
        segment->setChecked(index == m_selection);
        segment->installEventFilter(this);
        connect(segment, &QAbstractButton::clicked, this, [this, index] { Q_EMIT selectRequested(index); });
        row->addWidget(segment, 1);
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

void FieldSelector::setSelection(int index) {
    m_selection = index;
    const QList<QAbstractButton*> segments = findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    for (int i = 0; i < segments.size(); ++i)
        segments[i]->setChecked(i == index);
    update();
}

bool FieldSelector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !isEnabled())
        m_refocus = true;
    return QWidget::eventFilter(watched, event);
}

void FieldSelector::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    // The whole selector, tray and segments, dims when disabled.
    if (isEnabled()) {
        setGraphicsEffect(nullptr); // deletes the dimming
        const QList<QAbstractButton*> segments = findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
        if (std::exchange(m_refocus, false) && !QApplication::focusWidget() && m_selection >= 0 &&
            m_selection < segments.size())
            segments[m_selection]->setFocus(Qt::OtherFocusReason);
        return;
    }
    auto* dim = new QGraphicsOpacityEffect(this);
    dim->setOpacity(disabledOpacity);
    setGraphicsEffect(dim);
}

void FieldSelector::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(FU::well);
    painter.setPen(QPen(FU::edge, 1));
    FieldUnitShapes::drawOutlined(painter, rect(), trayRadius);
}

} // namespace corvane
