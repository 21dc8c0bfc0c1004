#pragma once

// Drawing widgets offscreen for the tests and for the gallery of PNG files under the build folder.

#include <corvane/controls/Key.h>
#include <corvane/controls/KeyboardUse.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QWidget>

#include <algorithm>

// Lays out a change just made. Nested layouts pass a change up one level per posted request, so each
// is delivered until none is left; nothing else runs meanwhile.
inline void layOutPending() {
    for (int level = 0; level < 16; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// The text of every label on `screen` that shows, in one string.
inline QString shownLabels(const QWidget& screen) {
    QStringList texts;
    for (const QLabel* label : screen.findChildren<QLabel*>())
        if (label->isVisibleTo(&screen) && !label->text().isEmpty())
            texts.append(label->text());
    return texts.join(QStringLiteral(" | "));
}

// The button on `screen` whose text is `text`, if one shows.
inline QAbstractButton* shownKey(const QWidget& screen, const QString& text) {
    for (QAbstractButton* button : screen.findChildren<QAbstractButton*>())
        if (button->text() == text && button->isVisibleTo(&screen))
            return button;
    return nullptr;
}

// The keys that show, leading to trailing, with the hot one marked by a star.
inline QStringList shownKeys(const QWidget& screen) {
    QList<const corvane::Key*> keys;
    for (const corvane::Key* key : screen.findChildren<corvane::Key*>())
        if (key->isVisibleTo(&screen))
            keys.append(key);
    std::ranges::sort(keys, std::less<>(),
                      [](const corvane::Key* key) { return key->mapTo(key->window(), QPoint()).x(); });
    QStringList names;
    for (const corvane::Key* key : keys)
        names.append(
            key->text() +
            (key->style().variant == corvane::KeyStyle::Variant::hot ? QStringLiteral("*") : QString()) +
            (key->isEnabled() ? QString() : QStringLiteral(" (off)")));
    return names;
}

// What `widget` draws, at `pixelRatio`, without a window behind it. A widget the test did not size is
// drawn at the size it asks for.
inline QImage rendered(QWidget& widget, qreal pixelRatio = 1) {
    layOutPending(); // a change just made is laid out before it is drawn
    if (widget.layout())
        widget.layout()->activate();
    if (!widget.testAttribute(Qt::WA_Resized))
        widget.adjustSize();
    QImage image(widget.size() * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

// Walks the keyboard's focus through the active window with Tab until it comes round again, checking
// at each stop that the control is on screen and shows the focus; gives the controls it reached, in
// order. The window saves a picture of each stop as `<name>-focus-<n>` in the gallery.
inline QList<QWidget*> tabWalk(QWidget& window, const QString& name) {
    QList<QWidget*> reached;
    for (int step = 0; step < 60; ++step) {
        QWidget* from = QApplication::focusWidget();
        QTest::keyClick(from ? from : &window, Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || reached.contains(now))
            break;
        reached.append(now);
        // Seen: the control is drawn otherwise with the focus than without it.
        const QImage focused = now->grab().toImage();
        now->clearFocus();
        const QImage unfocused = now->grab().toImage();
        now->setFocus(Qt::TabFocusReason);
        if (!now->isVisible() || !corvane::KeyboardUse::showsFocus(*now) || focused == unfocused) {
            QTest::qFail(qPrintable(QStringLiteral("%1 (%2) has the focus unseen")
                                        .arg(now->accessibleName(),
                                             QString::fromUtf8(now->metaObject()->className()))),
                         __FILE__, __LINE__);
            break;
        }
        QDir().mkpath(QStringLiteral(GALLERY_DIR));
        window.grab().save(
            QStringLiteral("%1/%2-focus-%3.png").arg(QStringLiteral(GALLERY_DIR), name).arg(step));
    }
    return reached;
}

// The words of each control in `controls` (a key's, a switch's, an option's).
inline QStringList namesOf(const QList<QWidget*>& controls) {
    QStringList names;
    for (QWidget* control : controls)
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            names.append(button->text());
        else
            names.append(control->accessibleName());
    return names;
}

// Writes `<GALLERY_DIR>/<name>@1x.png` and `@2x.png`, to be looked at. Every label on a screen shows
// its words as they are: words from outside (a phone's name, a server's answer) are never read as
// markup.
inline void saveToGallery(QWidget& widget, const QString& name) {
    for (const QLabel* label : widget.findChildren<QLabel*>())
        QVERIFY2(label->textFormat() == Qt::PlainText,
                 qPrintable(name + QStringLiteral(": ") + label->text()));
    QDir().mkpath(QStringLiteral(GALLERY_DIR));
    for (const qreal ratio : {1.0, 2.0})
        QVERIFY(rendered(widget, ratio)
                    .save(QStringLiteral("%1/%2@%3x.png").arg(QStringLiteral(GALLERY_DIR), name).arg(ratio)));
}
