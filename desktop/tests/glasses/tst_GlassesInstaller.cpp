// The glasses installer against a scripted adb: the session's steps in order, the second session when
// the glasses name another installer, every failing step with its words, and the staged copy removed
// whatever happens.

#include "support/ScriptedAdb.h"

#include <corvane/glasses/GlassesInstaller.h>

#include <QTest>
#include <qcorotask.h>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

using Result = std::expected<GlassesInstallOutcome, GlassesInstallFailure>;
using Kind = GlassesInstallError::Kind;

const QString createStep = u"shell pm install-create"_s;
const QString writeStep = u"shell pm install-write"_s;
const QString commitStep = u"shell pm install-commit"_s;
const QString owner = u"shell pm list packages -i com.corvane.app"_s;
const QString cleanUp = u"shell rm -f /data/local/tmp/corvane-install.apk"_s;

ScriptedAdb::Answer says(const QString& output, int exitCode = 0) {
    return corvane::AdbResult{output, exitCode};
}
const ScriptedAdb::Answer created = says(u"Success: created install session [1234]\n"_s);
const ScriptedAdb::Answer ownedByItself = says(u"package:com.corvane.app  installer=com.corvane.app\n"_s);
const ScriptedAdb::Answer ownedByStore = says(u"package:com.corvane.app  installer=com.android.vending\n"_s);
const ScriptedAdb::Answer cannotRun = std::unexpected(u"adb could not be started."_s);

// An adb whose every step goes well, the listing saying `owners` in turn.
std::shared_ptr<ScriptedAdb> glasses(QList<ScriptedAdb::Answer> owners) {
    auto adb = std::make_shared<ScriptedAdb>();
    adb->answer(createStep, {created});
    adb->answer(commitStep, {says(u"Success\n"_s)});
    adb->answer(owner, std::move(owners));
    return adb;
}

} // namespace

class TestGlassesInstaller : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installsAndOwnsItself_data() {
        QTest::addColumn<QList<ScriptedAdb::Answer>>("owners");
        QTest::addColumn<int>("sessions");
        QTest::addColumn<GlassesInstallOutcome>("outcome");
        QTest::newRow("its own installer at once")
            << QList{ownedByItself} << 1 << GlassesInstallOutcome::installed;
        QTest::newRow("after a second session")
            << QList{ownedByStore, ownedByItself} << 2 << GlassesInstallOutcome::installed;
        QTest::newRow("never its own")
            << QList{ownedByStore} << 2 << GlassesInstallOutcome::installedWithoutSilentUpdates;
        QTest::newRow("the listing cannot be read")
            << QList{cannotRun, ownedByItself} << 2 << GlassesInstallOutcome::installed;
    }
    void installsAndOwnsItself() {
        QFETCH(QList<ScriptedAdb::Answer>, owners);
        QFETCH(int, sessions);
        QFETCH(GlassesInstallOutcome, outcome);
        const auto adb = glasses(owners);
        const Result result = QCoro::waitFor(GlassesInstaller(adb).install(u"/app/glasses.apk"_s, 5242880));
        QVERIFY(result);
        QCOMPARE(*result, outcome);
        QStringList expected{u"push /app/glasses.apk /data/local/tmp/corvane-install.apk"_s};
        for (int i = 0; i < sessions; ++i)
            expected << u"shell pm install-create -r -i com.corvane.app -S 5242880"_s
                     << u"shell pm install-write 1234 base /data/local/tmp/corvane-install.apk"_s
                     << u"shell pm install-commit 1234"_s << owner;
        expected << cleanUp;
        QCOMPARE(adb->commands, expected);
    }

    // Each step that fails: the error with what adb printed, the words shown, and the staged copy gone.
    void aFailingStep_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<ScriptedAdb::Answer>("answer");
        QTest::addColumn<GlassesInstallFailure>("failure");
        QTest::addColumn<QString>("words");
        const QString lowOnSpace = u"Your glasses wouldn't accept the app. They may be low on space"_s;
        QTest::newRow("session refused")
            << createStep << says(u"Error: no space\n"_s, 1)
            << GlassesInstallFailure{GlassesInstallError{Kind::sessionRefused, u"Error: no space\n"_s}}
            << lowOnSpace;
        QTest::newRow("no session number") << createStep << says(u"Success: created install session\n"_s)
                                           << GlassesInstallFailure{GlassesInstallError{
                                                  Kind::noSessionId, u"Success: created install session\n"_s}}
                                           << lowOnSpace;
        QTest::newRow("write failed")
            << writeStep << says(u"Error: short write\n"_s, 1)
            << GlassesInstallFailure{GlassesInstallError{Kind::writeFailed, u"Error: short write\n"_s}}
            << u"The app didn't copy across properly."_s;
        QTest::newRow("commitStep answered otherwise")
            << commitStep << says(u"Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]\n"_s)
            << GlassesInstallFailure{GlassesInstallError{
                   Kind::refused, u"Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE]\n"_s}}
            << u"Your glasses turned the app down."_s;
        QTest::newRow("another signature")
            << commitStep
            << says(u"Failure [INSTALL_FAILED_UPDATE_INCOMPATIBLE: signatures do not match]\n"_s, 1)
            << GlassesInstallFailure{GlassesInstallError{
                   Kind::refused,
                   u"Failure [INSTALL_FAILED_UPDATE_INCOMPATIBLE: signatures do not match]\n"_s}}
            << u"There's already a different version of Kestrin on your glasses that didn't come from us."_s;
        QTest::newRow("adb gone mid-way")
            << writeStep << cannotRun << GlassesInstallFailure{AdbRunFailure{u"adb could not be started."_s}}
            << QString();
    }
    void aFailingStep() {
        QFETCH(QString, step);
        QFETCH(ScriptedAdb::Answer, answer);
        QFETCH(GlassesInstallFailure, failure);
        QFETCH(QString, words);
        const auto adb = glasses({ownedByItself});
        adb->answer(step, {answer});
        const Result result = QCoro::waitFor(GlassesInstaller(adb).install(u"/app/glasses.apk"_s, 10));
        QVERIFY(!result);
        QVERIFY(result.error() == failure);
        if (const auto* error = std::get_if<GlassesInstallError>(&result.error()))
            QVERIFY2(error->plainDescription().startsWith(words), qPrintable(error->plainDescription()));
        QCOMPARE(adb->commands.last(), cleanUp);
        QVERIFY(!adb->commands.contains(owner)); // nothing asked once a step failed
    }

    // A failure in the second session fails the install, and still removes the staged copy.
    void aSecondSessionThatFails() {
        const auto adb = glasses({ownedByStore});
        adb->answer(commitStep, {says(u"Success\n"_s), says(u"Failure [INSTALL_FAILED_ABORTED]\n"_s, 1)});
        const Result result = QCoro::waitFor(GlassesInstaller(adb).install(u"/app/glasses.apk"_s, 10));
        QVERIFY(!result);
        QCOMPARE(std::get<GlassesInstallError>(result.error()).kind, Kind::refused);
        QCOMPARE(adb->commands.count(u"shell pm install-commit 1234"_s), 2);
        QCOMPARE(adb->commands.last(), cleanUp);
    }

    // The copy's own answer is not looked at: a failed push shows in the session that follows.
    void aFailedCopyShowsInTheSession() {
        const auto adb = glasses({ownedByItself});
        adb->answer(u"push"_s, {says(u"adb: error: failed to copy\n"_s, 1)});
        adb->answer(writeStep,
                    {says(u"Error: Unable to open file: /data/local/tmp/corvane-install.apk\n"_s, 1)});
        const Result result = QCoro::waitFor(GlassesInstaller(adb).install(u"/app/glasses.apk"_s, 10));
        QVERIFY(!result);
        QCOMPARE(std::get<GlassesInstallError>(result.error()).kind, Kind::writeFailed);
    }
};

QTEST_GUILESS_MAIN(TestGlassesInstaller)
#include "tst_GlassesInstaller.moc"
