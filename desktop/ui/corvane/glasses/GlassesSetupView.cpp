#include "GlassesSetupView.h"

#include <corvane/glasses/AdbDownload.h>

#include <corvane/GlassesViewModel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldLink.h>
#include <corvane/controls/FieldUnitAccessibility.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/FittedLine.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/LeadedLabel.h>
#include <corvane/controls/StatusLine.h>
#include <corvane/tray/KestrinIcon.h>

#include <QDesktopServices>
#include <QGraphicsEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QUrl>
#include <QVBoxLayout>

namespace corvane::glasses {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int wordPoints = 38;
constexpr int symbolPoints = 26;

// The eyeglasses drawn in one flat colour, as a symbol rather than the coloured icon.
QLabel* eyeglassesSymbol() {
    auto* symbol = new QLabel;
    symbol->setTextFormat(Qt::PlainText);
    const qreal ratio = 2;
    QPixmap shape = kestrinIcon().pixmap(QSize(symbolPoints, symbolPoints) * ratio);
    QPainter tint(&shape);
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tint.fillRect(shape.rect(), FU::dDim);
    tint.end();
    shape.setDevicePixelRatio(ratio);
    symbol->setPixmap(shape);
    symbol->setAccessibleName({});
    symbol->setAttribute(Qt::WA_TransparentForMouseEvents);
    return symbol;
}

} // namespace

GlassesSetupView::GlassesSetupView(GlassesViewModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_lamp(new Lamp(ReadoutLamp::off, 12))
    , m_word(new FittedLine(FieldUnitText::display(u"Black"_s, wordPoints, 4), 0.5))
    , m_glow(FieldUnitText::glow(*m_word))
    , m_packaging(FieldUnitText::sentence({}, FieldUnitText::text(17, QFont::Medium), FU::ink))
    , m_headline(FieldUnitText::sentence({}, FieldUnitText::text(22, QFont::DemiBold), FU::ink))
    , m_detail(new LeadedLabel({}, FieldUnitText::text(15), FU::silk, 3))
    , m_terms(new FieldLink(AdbDownload::licenseLinkLabel.toString()))
    , m_removalProblem(new StatusLine(10, 14))
    , m_remove(new Key(u"Remove Google's helper"_s, {KeyStyle::Variant::chassis, true}))
    , m_notNow(new Key(AdbDownload::consentDeclineLabel.toString()))
    , m_getIt(new Key(AdbDownload::consentAcceptLabel.toString(), {KeyStyle::Variant::hot, false}))
    , m_begin(new Key(u"Set up my glasses"_s, {KeyStyle::Variant::hot, false}))
    , m_done(new Key(u"Done"_s)) {
    setFixedSize(fixedSize);
    QFont headline = m_headline->font();
    headline.setLetterSpacing(QFont::AbsoluteSpacing, -0.2);
    m_headline->setFont(headline);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);

    auto* glass = new GlassPanel;
    auto* readout = new QHBoxLayout;
    readout->setSpacing(12);
    readout->addWidget(m_lamp, 0, Qt::AlignVCenter);
    m_word->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // its room is what the row leaves
    readout->addWidget(m_word, 1);
    readout->addWidget(eyeglassesSymbol(), 0, Qt::AlignVCenter);
    glass->content()->addLayout(readout);
    column->addWidget(glass);

    auto* words = new QVBoxLayout;
    words->setSpacing(8);
    words->addWidget(m_packaging);
    words->addWidget(m_headline);
    m_detail->setTextFormat(Qt::PlainText);
    words->addWidget(m_detail);
    words->addWidget(m_terms, 0, Qt::AlignLeft);
    words->addWidget(m_removalProblem);
    column->addLayout(words);
    column->addStretch();

    auto* keys = new QHBoxLayout;
    keys->setSpacing(12);
    m_remove->setToolTip(u"Deletes the copy Kestrin downloaded. Your glasses keep the app."_s);
    keys->addWidget(m_remove, 0, Qt::AlignVCenter);
    keys->addStretch();
    keys->addWidget(m_notNow);
    keys->addWidget(m_done);
    keys->addWidget(m_getIt);
    keys->addWidget(m_begin);
    column->addLayout(keys);

    connect(m_terms, &QAbstractButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(AdbDownload::licenseUrl.toString())); });
    connect(m_remove, &QAbstractButton::clicked, this, [this] { m_model.removeHelper(); });
    connect(m_notNow, &QAbstractButton::clicked, this, [this] { m_model.declineFetch(); });
    connect(m_getIt, &QAbstractButton::clicked, this, [this] { m_model.confirmFetch(); });
    connect(m_begin, &QAbstractButton::clicked, this, [this] { m_model.begin(); });
    connect(m_done, &QAbstractButton::clicked, this, [this] {
        m_model.reset();
        Q_EMIT doneRequested();
    });
    connect(&m_model, &GlassesViewModel::changed, this, &GlassesSetupView::sync);
    sync();
}

void GlassesSetupView::sync() {
    const GlassesReadout readout = m_model.readout();
    m_lamp->setMode(readout.lamp);
    m_word->setLine(readout.word); // one line always: a long word is drawn smaller, down to half size
    m_word->setAccessibleName(readout.word);
    FieldUnitText::setColour(*m_word, readout.lit ? FU::live : FU::dText);
    m_glow->setEnabled(readout.lit);

    const GlassesSetupStage& stage = m_model.stage();
    const bool packaging = m_model.packagingProblem().has_value();
    const bool asking = std::holds_alternative<GlassesSetupStage::AskingToFetchTool>(stage.value);
    m_packaging->setVisible(packaging);
    m_packaging->setText(m_model.packagingProblem().value_or(QString()));
    m_headline->setVisible(!packaging);
    // A new stage comes while the person may be looking elsewhere: it is said at once.
    if (stage.headline() != m_headline->text()) {
        m_headline->setText(stage.headline());
        FieldUnitAccessibility::announce(*m_headline);
    }
    const std::optional<QString> detail = stage.detail();
    m_detail->setVisible(!packaging && detail.has_value());
    m_detail->setText(detail.value_or(QString()));
    m_terms->setVisible(!packaging && asking);
    m_removalProblem->setVisible(m_model.removalProblem().has_value());
    m_removalProblem->set(ReadoutLamp::waiting, m_model.removalProblem().value_or(QString()));
    m_remove->setVisible(m_model.offersRemoval());

    // The stage's keys: asking offers its two answers; a finished setup offers Done (and Try again
    // when the glasses could not reach this computer); every other stage offers its one hot key.
    const auto* finished = std::get_if<GlassesSetupStage::Finished>(&stage.value);
    const bool cannotReach = finished && std::holds_alternative<GlassesSetupResult::InstalledButCannotReach>(
                                             finished->result.value);
    m_notNow->setVisible(asking);
    m_getIt->setVisible(asking);
    m_done->setVisible(finished != nullptr);
    m_done->setStyle({cannotReach ? KeyStyle::Variant::chassis : KeyStyle::Variant::hot, false});
    m_begin->setVisible(!asking && (!finished || cannotReach));
    m_begin->setText(stage.offersRetry() ? u"Try again"_s : u"Set up my glasses"_s);
    m_begin->setEnabled(m_model.canBegin());
}

void GlassesSetupView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    for (Key* key : {m_getIt, m_begin, m_done})
        if (key->isVisible() && key->isEnabled() && key->style().variant == KeyStyle::Variant::hot) {
            key->click();
            return;
        }
}

} // namespace corvane::glasses
