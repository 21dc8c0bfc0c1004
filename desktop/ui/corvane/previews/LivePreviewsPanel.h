#pragma once

#include <corvane/previews/LivePreviewsConsentSheet.h>

#include <QPointer>
#include <QWidget>

namespace corvane {
class FieldToggle;
class StatusLine;
class PreviewsSwitchViewModel;
} // namespace corvane

namespace corvane::previews {

// The live-previews switch, its note, the way to read what it can and can't do, and its status line.
// The compact form is a plain column for the welcome's last step; the full form is a chassis panel
// for the agent-permission screen. It reads the setting again each time it comes on screen, and
// opens the consent sheet whenever the model asks or the person wants to read.
class LivePreviewsPanel : public QWidget {
    Q_OBJECT
public:
    enum class Form { compact, full };

    LivePreviewsPanel(PreviewsSwitchViewModel& model, Form form, QWidget* parent = nullptr);

    void sync();
    // The sheet while it is open.
    LivePreviewsConsentSheet* sheet() const { return m_sheet; }

protected:
    void showEvent(QShowEvent* event) override;
    // A window closed while the sheet was open drops the question.
    void hideEvent(QHideEvent* event) override;

private:
    void syncSheet();

    PreviewsSwitchViewModel& m_model;
    FieldToggle* m_switch;
    StatusLine* m_status;
    QPointer<LivePreviewsConsentSheet> m_sheet;
};

} // namespace corvane::previews
