#include "GlassesSetupPlan.h"

namespace corvane::GlassesSetupPlan {

using namespace Qt::Literals::StringLiterals;

namespace {

GlassesSetupAction cannotProceed(const QString& reason, const QString& whatToDo) {
    return {GlassesSetupAction::CannotProceed{reason, whatToDo}};
}

GlassesSetupAction install(InstallBecause because) {
    return {GlassesSetupAction::Install{std::move(because)}};
}

} // namespace

GlassesSetupAction decide(const GlassesLink& link, const std::optional<InstalledGlassesApp>& installed,
                          const std::optional<QString>& installedVersion, const QString& bundledVersion,
                          std::optional<qint64> installedBuild, std::optional<qint64> bundledBuild) {
    if (std::holds_alternative<GlassesLink::NotPlugged>(link.value))
        return cannotProceed(u"I can't see your glasses."_s,
                             u"Plug them into this computer with the cable that came in the box, and make "
                             u"sure they're switched on. "
                             u"If they are plugged in already, try a different cable — some only carry "
                             u"charge, and a charging cable "
                             u"looks exactly like nothing at all from here."_s);
    if (std::holds_alternative<GlassesLink::AwaitingApproval>(link.value))
        return cannotProceed(
            u"Your glasses haven't let this computer in yet."_s,
            u"Put your glasses on. There's a question waiting on the screen asking whether to trust "
            u"this computer — choose Allow, then try again."_s);
    if (std::holds_alternative<GlassesLink::NoPermission>(link.value))
        return cannotProceed(
            u"This computer doesn't let Kestrin talk to your glasses over the cable yet."_s,
            u"On Debian, install the android-sdk-platform-tools-common package (it holds the USB rules for "
            u"Android devices) and make sure you're in the plugdev group: sudo usermod -aG plugdev $USER, "
            u"then "
            u"log out and back in. Unplug your glasses, plug them in again, and try again."_s);
    if (std::holds_alternative<GlassesLink::NotResponding>(link.value))
        return cannotProceed(u"Your glasses are connected but not answering."_s,
                             u"Put them on to wake them up, then try again."_s);
    if (!std::get<GlassesLink::Ready>(link.value).device.looksLikeGlasses())
        return cannotProceed(
            u"What's plugged in doesn't look like your glasses."_s,
            u"Something else is connected to this computer — a phone or a tablet. Unplug it, "
            u"connect your glasses instead, and try again."_s);
    if (!installed)
        return install({InstallBecause::NotInstalled{}});
    if (!installed->updatesSilently())
        return install({InstallBecause::CannotUpdateItself{}});
    if (installedBuild && bundledBuild) {
        if (*installedBuild >= *bundledBuild)
            return {GlassesSetupAction::AlreadySetUp{installedVersion}};
        return install({InstallBecause::NewerAvailable{
            installedVersion.value_or(u"?"_s) + u" (build "_s + QString::number(*installedBuild) + u')',
            bundledVersion + u" (build "_s + QString::number(*bundledBuild) + u')'}});
    }
    if (installedVersion == bundledVersion)
        return {GlassesSetupAction::AlreadySetUp{installedVersion}};
    return install({InstallBecause::NewerAvailable{installedVersion, bundledVersion}});
}

} // namespace corvane::GlassesSetupPlan
