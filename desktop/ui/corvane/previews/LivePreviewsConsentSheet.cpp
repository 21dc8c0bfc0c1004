#include "LivePreviewsConsentSheet.h"

#include <corvane/previews/LivePreviewsWords.h>

#include <corvane/PreviewsSwitchViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/Key.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace corvane::previews {

namespace {

constexpr int margin = 28;
constexpr int belowTopBar = 52;

} // namespace

LivePreviewsConsentSheet::LivePreviewsConsentSheet(PreviewsSwitchViewModel& model, QWidget* parent)
    : ChassisGround(parent)
    , m_model(model)
    , m_title(FieldUnitText::sentence({}, FieldUnitText::text(22, QFont::DemiBold), FU::ink))
    , m_notNow(new Key(LivePreviewsWords::consentNo.toString()))
    , m_turnOn(new Key(LivePreviewsWords::consentYes.toString(), {KeyStyle::Variant::hot, false}))
    , m_close(new Key(LivePreviewsWords::closeLabel.toString())) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(LivePreviewsWords::label.toString());
    setFixedWidth(fixedWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(16);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addWidget(m_title);
    auto* paragraphs = new QVBoxLayout;
    paragraphs->setSpacing(8);
    for (const QStringView paragraph : LivePreviewsWords::explanation)
        paragraphs->addWidget(
            FieldUnitText::sentence(paragraph.toString(), FieldUnitText::text(14), FU::silk));
    column->addLayout(paragraphs);
    auto* keys = new QHBoxLayout;
    keys->setSpacing(12);
    keys->addStretch();
    keys->addWidget(m_notNow);
    keys->addWidget(m_turnOn);
    keys->addWidget(m_close);
    column->addLayout(keys);

    connect(m_notNow, &QAbstractButton::clicked, this, [this] { m_model.decline(); });
    connect(m_turnOn, &QAbstractButton::clicked, this, [this] { m_model.turnOnAfterReading(); });
    connect(m_close, &QAbstractButton::clicked, this, [this] { m_model.setReading(false); });
    connect(&m_model, &PreviewsSwitchViewModel::changed, this, &LivePreviewsConsentSheet::sync);
    sync();
}

void LivePreviewsConsentSheet::sync() {
    const bool asking = m_model.asking();
    m_title->setText(asking ? LivePreviewsWords::consentTitle.toString()
                            : LivePreviewsWords::label.toString());
    m_notNow->setVisible(asking);
    m_turnOn->setVisible(asking);
    m_close->setVisible(!asking);
}

void LivePreviewsConsentSheet::placeOver(const QWidget* window) {
    adjustSize();
    if (window && window->isVisible()) {
        const QRect frame = window->frameGeometry();
        move(frame.center().x() - width() / 2, frame.top() + belowTopBar);
        return;
    }
    if (const QScreen* display = QGuiApplication::primaryScreen())
        move(display->availableGeometry().center() - rect().center());
}

// Return is the default key: "Turn on" while asking, "Close" otherwise. Escape is "Not now", or a
// plain close when there is nothing to decline.
void LivePreviewsConsentSheet::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        (m_model.asking() ? m_turnOn : m_close)->click();
        return;
    case Qt::Key_Escape:
        if (m_model.asking())
            m_notNow->click();
        else
            m_close->click();
        return;
    default:
        ChassisGround::keyPressEvent(event);
    }
}

void LivePreviewsConsentSheet::closeEvent(QCloseEvent* event) {
    ChassisGround::closeEvent(event);
    if (m_model.asking() || m_model.reading())
        Q_EMIT dismissed();
}

// A sheet has no frame of its own: a hairline sets it off from the window under it.
void LivePreviewsConsentSheet::paintEvent(QPaintEvent* event) {
    ChassisGround::paintEvent(event);
    QPainter painter(this);
    painter.setPen(FU::edgeDeep);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace corvane::previews
