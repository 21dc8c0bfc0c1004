#include "FolderStep.h"

#include <corvane/welcome/FolderAccess.h>
#include <corvane/welcome/FolderAccessWords.h>
#include <corvane/welcome/WelcomeFinish.h>

#include <corvane/WelcomeViewModel.h>
#include <corvane/controls/ChassisPanel.h>
#include <corvane/controls/FU.h>
#include <corvane/controls/FieldUnitText.h>
#include <corvane/controls/GlassPanel.h>
#include <corvane/controls/Key.h>
#include <corvane/controls/Lamp.h>
#include <corvane/controls/Silk.h>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane::welcome {

using namespace Qt::Literals::StringLiterals;

FolderStep::FolderStep(WelcomeViewModel& model, QWidget* parent)
    : StepScreen(model, parent)
    , m_readyLamp(new Lamp(ReadoutLamp::ok, 8))
    , m_ready(new Silk({}, FU::silk))
    , m_folderField(new GlassPanel(8))
    , m_folder(label({}, FieldUnitText::monospaced(13, 0), FU::dText, false))
    , m_voiceNote(smallNote(WelcomeWords::voiceDownload.toString()))
    , m_choose(new Key(u"Choose a Folder…"_s, {KeyStyle::Variant::hot, false}))
    , m_asking(
          lampNote(new Lamp(ReadoutLamp::working, 8), smallNote(FolderAccessWords::askingNote.toString())))
    , m_deniedHelp(smallNote(FolderAccessWords::deniedHelp.toString()))
    , m_notNow(new Key(u"Not now"_s))
    , m_continue(new Key(FolderAccessWords::continueLabel.toString())) {
    addHeading();
    auto* project = new ChassisPanel;
    auto* header = row();
    header->addWidget(new Silk(u"project folder"_s, FU::silk));
    header->addStretch();
    header->addWidget(m_readyLamp, 0, Qt::AlignVCenter);
    header->addWidget(m_ready);
    project->content()->addLayout(header);
    auto* body = row(12);
    // The chosen folder on a glass field of its own, one line, shortened in the middle.
    m_folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_folderField->content()->addWidget(m_folder);
    m_folder->installEventFilter(this); // shortened again whenever its room changes
    body->addWidget(m_folderField, 1, Qt::AlignVCenter);
    body->addWidget(m_voiceNote, 1);
    body->addWidget(m_choose, 0, Qt::AlignVCenter);
    project->content()->addLayout(body);
    layout()->addWidget(project);

    auto* access = new ChassisPanel(FolderAccessWords::panelLabel.toString());
    access->content()->addWidget(smallNote(FolderAccessWords::why.toString()));
    auto* folders = row(18);
    for (const ProtectedFolder folder : ProtectedFolders::all) {
        auto* lamp = new Lamp(ReadoutLamp::off, 8);
        m_folderLamps.append(lamp);
        folders->addWidget(lamp, 0, Qt::AlignVCenter);
        folders->addWidget(new Silk(ProtectedFolders::rawValue(folder).toString(), FU::silk));
    }
    folders->addStretch();
    access->content()->addLayout(folders);
    m_asking->setMinimumHeight(44);
    access->content()->addWidget(m_asking);
    auto* keys = row(10);
    keys->addWidget(m_deniedHelp, 1);
    keys->addStretch();
    keys->addWidget(m_notNow);
    keys->addWidget(m_continue);
    access->content()->addLayout(keys);
    layout()->addWidget(access);
    static_cast<QVBoxLayout*>(layout())->addStretch();

    connect(m_choose, &QAbstractButton::clicked, this, [this] { m_model.chooseFolder(); });
    connect(m_notNow, &QAbstractButton::clicked, this, [this] { m_model.declineFolderAccess(); });
    connect(m_continue, &QAbstractButton::clicked, this, [this] { m_model.allowFolderAccess(); });
}

void FolderStep::sync() {
    m_heading.silk->setText(stepSilk(u"your projects"_s));
    m_heading.title->setText(WelcomeWords::folderTitle.toString());
    m_heading.lede->setText(
        u"Pick the folder your projects live in. Each folder inside it becomes a project you can "
        u"switch between from your phone."_s);
    const auto& outcome = m_model.folderOutcome();
    m_readyLamp->setVisible(outcome.has_value());
    m_ready->setVisible(outcome.has_value());
    if (outcome) {
        const qsizetype count = outcome->bookmarks.size();
        m_ready->setText(count == 1 ? u"1 project ready"_s : u"%1 projects ready"_s.arg(count));
        m_folder->setToolTip(outcome->cwd);
        m_folder->setAccessibleName(outcome->cwd);
        fitFolder();
    }
    m_folderField->setVisible(outcome.has_value());
    m_voiceNote->setVisible(!outcome);
    m_choose->setStyle({outcome ? KeyStyle::Variant::chassis : KeyStyle::Variant::hot, false});
    m_choose->setEnabled(!m_model.busy());

    const auto& answers = m_model.folderAnswers();
    for (qsizetype index = 0; index < m_folderLamps.size(); ++index) {
        const ProtectedFolder folder = ProtectedFolders::all[index];
        ReadoutLamp lamp = ReadoutLamp::off;
        QString state = u"not asked yet"_s;
        if (m_model.askingFolder() == folder) {
            lamp = ReadoutLamp::working;
            state = u"asking"_s;
        } else if (answers.contains(folder)) {
            const bool denied = answers.value(folder) == FolderAccessAnswer::denied;
            lamp = denied ? ReadoutLamp::waiting : ReadoutLamp::ok;
            state = denied ? u"denied"_s : u"allowed"_s;
        }
        m_folderLamps.at(index)->setMode(lamp);
        // The colour in words, for those who do not see it.
        m_folderLamps.at(index)->setAccessibleName(ProtectedFolders::rawValue(folder).toString() + u": "_s +
                                                   state);
    }
    const bool asking = m_model.askingFolder().has_value();
    // From the answers as they stand, not the facts of the last complete read: the keys follow a
    // decline at once, and the answers while the server is away.
    const bool settled = FolderAccess::isSettled(answers, m_model.folderAccessDeclined());
    m_asking->setVisible(asking);
    m_deniedHelp->setVisible(!asking && std::ranges::any_of(answers, [](FolderAccessAnswer answer) {
        return answer == FolderAccessAnswer::denied;
    }));
    m_notNow->setVisible(!asking && !settled);
    m_continue->setVisible(!asking);
    m_continue->setStyle({outcome && !settled ? KeyStyle::Variant::hot : KeyStyle::Variant::chassis, false});
}

bool FolderStep::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_folder && event->type() == QEvent::Resize)
        fitFolder();
    return StepScreen::eventFilter(watched, event);
}

// The whole path when it fits the field, else shortened in the middle to the field's width. Only a
// whole path may be selected: a shortened one would copy its ellipsis for a path that does not exist.
void FolderStep::fitFolder() {
    const auto& outcome = m_model.folderOutcome();
    if (!outcome)
        return;
    const int room = m_folder->width() > 0 ? m_folder->width() : 420;
    const QString shown = m_folder->fontMetrics().elidedText(outcome->cwd, Qt::ElideMiddle, room);
    m_folder->setText(shown);
    m_folder->setTextInteractionFlags(shown == outcome->cwd ? Qt::TextSelectableByMouse
                                                            : Qt::NoTextInteraction);
}

} // namespace corvane::welcome
