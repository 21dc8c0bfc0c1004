#include "UpdateAlert.h"

#include <corvane/support/Overloaded.h>

#include <QLocale>

namespace corvane {

using namespace Qt::Literals::StringLiterals;

namespace {

QString size(qint64 bytes) {
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

} // namespace

QString UpdateAlert::word() const {
    return std::visit(Overloaded{
                          [](const Checking&) { return u"CHECKING"_s; },
                          [](const Offered& offered) { return u"NEW · "_s + offered.item.shortVersion; },
                          [](const Downloading&) { return u"FETCHING"_s; },
                          [](const Preparing&) { return u"CHECKING"_s; },
                          [](const Ready&) { return u"READY"_s; },
                          [](const UpToDate&) { return u"CURRENT"_s; },
                          [](const Failed&) { return u"FAILED"_s; },
                      },
                      value);
}

ReadoutLamp UpdateAlert::lamp() const {
    return std::visit(Overloaded{
                          [](const Offered&) { return ReadoutLamp::live; },
                          [](const Ready&) { return ReadoutLamp::live; },
                          [](const UpToDate&) { return ReadoutLamp::ok; },
                          [](const Failed&) { return ReadoutLamp::waiting; },
                          [](const auto&) { return ReadoutLamp::working; },
                      },
                      value);
}

QString UpdateAlert::headline() const {
    return std::visit(
        Overloaded{
            [](const Checking&) { return u"Checking for updates…"_s; },
            [](const Offered&) { return u"A new version of Kestrin is available"_s; },
            [](const Downloading& downloading) {
                return u"Downloading Kestrin %1…"_s.arg(downloading.item.shortVersion);
            },
            [](const Preparing& preparing) {
                return u"Checking Kestrin %1…"_s.arg(preparing.item.shortVersion);
            },
            [](const Ready& ready) { return u"Kestrin %1 is ready"_s.arg(ready.item.shortVersion); },
            [](const UpToDate&) { return u"You’re up to date"_s; },
            [](const Failed&) { return u"Update failed"_s; },
        },
        value);
}

QString UpdateAlert::detail() const {
    return std::visit(
        Overloaded{
            [](const Checking&) { return u"Asking the update feed for the newest version."_s; },
            [](const Offered& offered) {
                return u"Kestrin %1 is available — you have %2. It downloads now and installs when you quit Kestrin."_s
                    .arg(offered.item.shortVersion, offered.currentVersion);
            },
            [](const Downloading& downloading) {
                if (downloading.total <= 0)
                    return u"%1 received"_s.arg(size(downloading.received));
                return u"%1 of %2"_s.arg(size(downloading.received), size(downloading.total));
            },
            [](const Preparing&) {
                return u"Making sure its publisher signed it, then unpacking it beside this copy."_s;
            },
            [](const Ready&) {
                return u"It takes this copy’s place when you quit Kestrin; the next start runs it."_s;
            },
            [](const UpToDate& upToDate) {
                return u"Kestrin %1 is the newest version."_s.arg(upToDate.currentVersion);
            },
            [](const Failed& failed) { return failed.message; },
        },
        value);
}

QString UpdateAlert::releaseNotes() const {
    const auto* offered = std::get_if<Offered>(&value);
    return offered ? offered->item.releaseNotes : QString();
}

std::optional<double> UpdateAlert::progress() const {
    const auto* downloading = std::get_if<Downloading>(&value);
    if (!downloading || downloading->total <= 0)
        return std::nullopt;
    return std::clamp(double(downloading->received) / double(downloading->total), 0.0, 1.0);
}

QList<UpdateAlertKey> UpdateAlert::keys() const {
    using enum UpdateAnswer;
    const UpdateAlertKey cancelKey{cancel, u"Cancel"_s, false, true};
    return std::visit(
        Overloaded{
            [&](const Checking&) { return QList<UpdateAlertKey>{cancelKey}; },
            [](const Offered&) {
                return QList<UpdateAlertKey>{{skipThisVersion, u"Skip This Version"_s, false, false},
                                             {remindMeLater, u"Remind Me Later"_s, false, true},
                                             {installOnQuit, u"Install on Quit"_s, true, false}};
            },
            [&](const Downloading&) { return QList<UpdateAlertKey>{cancelKey}; },
            [](const Preparing&) { return QList<UpdateAlertKey>{}; },
            [](const Ready&) {
                return QList<UpdateAlertKey>{{later, u"Later"_s, false, true},
                                             {quitAndInstall, u"Quit and Install"_s, true, false}};
            },
            [](const UpToDate&) {
                return QList<UpdateAlertKey>{{ok, u"OK"_s, true, true}};
            },
            [](const Failed&) {
                return QList<UpdateAlertKey>{{ok, u"OK"_s, true, true}};
            },
        },
        value);
}

} // namespace corvane
