// The server log's window over its model: the lines as read, followed at the end but not pulled away
// from where the person scrolled, every line with what is searched for marked, copy all, the words for
// a log that is not there, and reading only while the window is on screen.

#include "support/Gallery.h"
#include "support/HandLogFollower.h"

#include <corvane/ServerLogModel.h>
#include <corvane/controls/FieldUnitFonts.h>
#include <corvane/controls/WindowTopBar.h>
#include <corvane/logs/LogView.h>
#include <corvane/windows/AppWindow.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>

using namespace corvane;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray numberedLines(int from, int to) {
    QByteArray bytes;
    for (int line = from; line <= to; ++line)
        bytes += "2026-12-11T06:0" + QByteArray::number(line % 10) + ":00Z GET /api/setup 200 line " +
                 QByteArray::number(line) + '\n';
    return bytes;
}

// The view in the window the application gives it, over a model read by hand.
struct Window {
    HandLogFollower* follower;
    ServerLogModel model;
    AppWindow window{u"Server Log"_s};
    logs::LogView* view;
    explicit Window(std::unique_ptr<HandLogFollower> owned = std::make_unique<HandLogFollower>())
        : follower(owned.get())
        , model(std::move(owned), u"/home/me/.local/state/Corvane/server.log"_s, 200) {
        view = new logs::LogView(model);
        window.topBar().setLabel(u"Kestrin · server log"_s);
        window.content()->addWidget(view);
        window.show();
        layOutPending();
    }
    QString where() const {
        for (const QLabel* label : view->findChildren<QLabel*>())
            if (label->text().contains(u"server.log"_s))
                return label->text();
        return {};
    }
};

} // namespace

class TestLogView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(FieldUnitFonts::registerFonts(QStringLiteral(KESTRIN_FONTS_DIR)), 3); }

    // Read only while on screen: shown, it follows the log; hidden, it stops.
    void theLogIsReadOnlyWhileShown() {
        Window w;
        QCOMPARE(w.follower->followed, QStringList{w.model.path()});
        QCOMPARE(w.where(), u"Reading /home/me/.local/state/Corvane/server.log…"_s);
        w.window.hide();
        QCOMPARE(w.follower->stops, 1);
        w.window.show();
        QCOMPARE(w.follower->followed.size(), 2);
    }

    // The lines as read; what comes next is added at the end, which the view follows while the person
    // is there, and not once they scrolled up to read.
    void theLinesFollowTheEndUnlessScrolledAway() {
        Window w;
        w.follower->tell(LogRead::Kind::fromStart, numberedLines(1, 80));
        layOutPending();
        QPlainTextEdit& text = w.view->text();
        QCOMPARE(text.document()->blockCount(), 80);
        QScrollBar* scroll = text.verticalScrollBar();
        QCOMPARE(scroll->value(), scroll->maximum());
        w.follower->tell(LogRead::Kind::more, numberedLines(81, 82));
        QCOMPARE(text.document()->lastBlock().text(), QString::fromUtf8(numberedLines(82, 82)).trimmed());
        QCOMPARE(scroll->value(), scroll->maximum());
        QVERIFY(scroll->isVisible());
        scroll->setValue(3);
        w.follower->tell(LogRead::Kind::more, numberedLines(83, 90));
        QCOMPARE(scroll->value(), 3);
        QVERIFY2(w.where().contains(u"the last 90 lines"_s), qPrintable(w.where()));
        saveToGallery(w.window, u"log"_s);

        QApplication::clipboard()->clear();
        QTest::mouseClick(shownKey(*w.view, u"Copy All"_s), Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), w.model.allText());
    }

    // Every line holding what is typed is marked, whatever its case, and the count is said.
    void aSearchMarksEveryMatch() {
        Window w;
        w.follower->tell(LogRead::Kind::fromStart,
                         "GET /api/setup 200\nPOST /api/pair 401 refused\nget /health\n");
        w.view->search().setText(u"get"_s);
        QCOMPARE(w.view->text().extraSelections().size(), 2);
        QVERIFY2(w.where().contains(u"2 with “get”"_s), qPrintable(w.where()));
        w.follower->tell(LogRead::Kind::more, "GET /api/setup 200\n");
        QCOMPARE(w.view->text().extraSelections().size(), 3);
        w.view->search().clear();
        QVERIFY(w.view->text().extraSelections().isEmpty());
        w.view->search().setText(u"refused"_s);
        saveToGallery(w.window, u"log-search"_s);
    }

    // Outside text stays plain: markup is shown as written.
    void markupIsShownAsWritten() {
        Window w;
        w.follower->tell(LogRead::Kind::fromStart, "<b>bold</b> &amp;\n");
        QCOMPARE(w.view->text().toPlainText(), u"<b>bold</b> &amp;"_s);
    }

    // No log yet: the window says where it looks.
    void aMissingLogIsSaidSo() {
        Window w;
        w.follower->tell(LogRead::Kind::missing);
        QCOMPARE(w.where(), u"There is no server log at /home/me/.local/state/Corvane/server.log yet."_s);
        QVERIFY(w.view->text().toPlainText().isEmpty());
        saveToGallery(w.window, u"log-missing"_s);
    }

    // From the keyboard alone: Tab reaches the search, the keys and the log itself.
    void theKeyboardReachesEveryControl() {
        Window w;
        w.follower->tell(LogRead::Kind::fromStart, numberedLines(1, 5));
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        const QStringList names = namesOf(tabWalk(w.window, u"log"_s));
        for (const QString& control : {u"Search the log"_s, u"Copy All"_s, u"Open Folder"_s})
            QVERIFY2(names.contains(control), qPrintable(names.join(u" | "_s)));
    }
};

QTEST_MAIN(TestLogView)
#include "tst_LogView.moc"
