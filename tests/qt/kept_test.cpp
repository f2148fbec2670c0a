// The sitting kept on the desktop: the offer of the last one at start, resuming it into the
// window, what the panel says of unreadable files and storage it cannot write, removing old
// saved sittings and deleting them all on request. Set PANEL_PICTURES to a folder to keep a
// picture of the offer.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "app/qt/record_panel.h"
#include "app/qt/trainer.h"
#include "app/teaching/panel_texts.h"
#include "tests/test_support.h"

namespace {

QString qs(const char* s) { return QString::fromUtf8(s); }

struct Desk {
    Trainer trainer;
    explicit Desk(const QString& folder, std::optional<CaseCode> code = std::nullopt) : trainer(code, folder) {
        trainer.window().setPanelOpen(true);
        trainer.show();
        QApplication::processEvents();
        trainer.window().panel();
        QApplication::processEvents();
    }
    template <class W = QWidget>
    W* find(const char* name) {
        W* w = trainer.window().findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool shown(const char* name) { return find(name)->isVisibleTo(&trainer.window()); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    void play() {
        FormView& v = trainer.view();
        v.give("HScroll1", {InputVerb::Arrow, -1});
        v.give("Option7", {InputVerb::Select});
        v.give("Command6", {InputVerb::Click});
        v.give("Command5", {InputVerb::Click});
        v.give("STARTbutton", {InputVerb::Click});
        v.give("HScroll3", {InputVerb::Release, 40});
    }
    void keep(const char* file) {
        const QString folder = qEnvironmentVariable("PANEL_PICTURES");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        QApplication::processEvents();
        EXPECT_TRUE(trainer.window().grab().save(QDir(folder).filePath(QString::fromLatin1(file))));
    }
};

QStringList journals(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name);
}

void write(const QString& path, const std::string& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

// A kept sitting with one input, saved or not.
std::string keptText(bool saved) {
    KeptSitting k;
    k.code = CaseCode(99);
    JournalEntry e;
    e.control = "HScroll1";
    e.input = {InputVerb::Arrow, 1};
    e.steps = 1;
    k.entries.push_back(e);
    if (saved) {
        JournalEntry s;
        s.kind = JournalEntry::Kind::Saved;
        s.steps = 1;
        k.entries.push_back(s);
    }
    return journalText(k);
}

}  // namespace

TEST(KeptSittingDesk, LastUnsavedSittingIsOfferedWithoutFocusAndResumesExactly) {
    QTemporaryDir dir;
    std::string window, record;
    CaseCode code;
    {
        Desk first(dir.path());
        EXPECT_FALSE(first.shown("ResumeOffer"));  // nothing from before
        first.play();
        window = dumpControls(first.trainer.form());
        record = sittingCsv(first.trainer.sitting().cases());
        code = first.trainer.sitting().code();
    }  // ended as END ends it: nothing asked, nothing more written

    Desk second(dir.path());
    ASSERT_TRUE(second.shown("ResumeOffer"));
    EXPECT_EQ(second.find<QAbstractButton>("ResumeSitting")->text(), qs(panel_text::kResumeSitting));
    EXPECT_EQ(second.find<QAbstractButton>("StartAnew")->text(), qs(panel_text::kStartAnew));
    QWidget* focus = QApplication::focusWidget();
    EXPECT_FALSE(focus && second.find("RecordPanel")->isAncestorOf(focus)) << "the offer took the focus";
    second.keep("kept_offer.png");

    second.find<QAbstractButton>("ResumeSitting")->click();
    QApplication::processEvents();
    EXPECT_FALSE(second.shown("ResumeOffer"));
    EXPECT_EQ(second.trainer.sitting().code(), code);
    EXPECT_EQ(dumpControls(second.trainer.form()), window);
    EXPECT_EQ(sittingCsv(second.trainer.sitting().cases()), record);
    EXPECT_EQ(journals(dir.path()).size(), 1u) << "the fresh sitting of this start gave way to the old one";
    EXPECT_EQ(second.label("UnsavedNote"), qs(panel_text::kKeptNote));

    // The next customers are the code's next ones, kept on in the same file.
    second.trainer.view().give("Command5", {InputVerb::Click});
    second.trainer.view().give("STARTbutton", {InputVerb::Click});
    EXPECT_EQ(second.trainer.sitting().cases().back().customer, 2u);
    EXPECT_EQ(journals(dir.path()).size(), 1u);
}

TEST(KeptSittingDesk, FirstInputStartsAnewKeepingTheOldSittingAndACodeOffersNothing) {
    QTemporaryDir dir;
    { Desk(dir.path()).play(); }
    {
        Desk withCode(dir.path(), CaseCode(12345));
        EXPECT_FALSE(withCode.shown("ResumeOffer"));
    }
    Desk d(dir.path());
    ASSERT_TRUE(d.shown("ResumeOffer"));
    d.trainer.view().give("Command2", {InputVerb::Click});
    EXPECT_FALSE(d.shown("ResumeOffer"));
    EXPECT_EQ(journals(dir.path()).size(), 2u) << "the old sitting is kept";
}

TEST(KeptSittingDesk, UnreadableSittingsAreSetAsideAndSaid) {
    QTemporaryDir dir;
    const std::string good = keptText(false);
    write(dir.filePath("sitting-20260101-000000-000-1.journal"), "garbage\n");
    write(dir.filePath("sitting-20260102-000000-000-1.journal"), good.substr(0, good.size() - 5));
    std::string newer = good;
    newer.replace(newer.find(" 1\n"), 3, " 9\n");
    write(dir.filePath("sitting-20260103-000000-000-1.journal"), newer);

    Desk d(dir.path());
    EXPECT_FALSE(d.shown("ResumeOffer"));
    ASSERT_TRUE(d.shown("StorageMessage"));
    const QString message = d.label("StorageMessage");
    for (const char* reason :
         {panel_text::kSetAsideCorrupt, panel_text::kSetAsideTruncated, panel_text::kSetAsideNewer})
        EXPECT_TRUE(message.contains(qs(reason))) << message.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.journal.unreadable-*")}).size(), 3);
    d.keep("kept_set_aside.png");
    EXPECT_EQ(journals(dir.path()).size(), 1u);  // this sitting's own

    // One that reads but does not play back is set aside when continued, and the window starts afresh.
    Desk* later = nullptr;
    {
        std::string lying = keptText(false);
        write(dir.filePath("sitting-20270101-000000-000-1.journal"), lying);
    }
    later = new Desk(dir.path());
    ASSERT_TRUE(later->shown("ResumeOffer"));
    later->find<QAbstractButton>("ResumeSitting")->click();
    EXPECT_TRUE(later->label("StorageMessage").contains(qs(panel_text::kSetAsideMismatch)));
    EXPECT_EQ(later->trainer.sitting().cases().size(), 1u);
    later->trainer.view().give("HScroll1", {InputVerb::Arrow, -1});
    EXPECT_TRUE(later->trainer.sitting().unsaved());
    delete later;
}

TEST(KeptSittingDesk, UnwritableStorageIsSaidOnceAndTheWindowGoesOn) {
    QTemporaryDir dir;
    const QString blocked = dir.filePath(QStringLiteral("not-a-folder"));
    write(blocked, "x");
    Desk d(blocked + QStringLiteral("/sittings"));
    EXPECT_EQ(d.label("StorageMessage"), qs(panel_text::kStorageUnwritable));
    d.play();
    EXPECT_EQ(d.label("StorageMessage"), qs(panel_text::kStorageUnwritable));
    EXPECT_EQ(d.label("UnsavedNote"), qs(panel_text::kUnsavedNote));
    EXPECT_EQ(d.trainer.sitting().cases().size(), 2u);
}

TEST(KeptSittingDesk, SavedSittingsBeyondTheMostRecentAreRemovedOldestFirst) {
    QTemporaryDir dir;
    for (int i = 0; i < 25; ++i)
        write(dir.filePath(QStringLiteral("sitting-202601%1-000000-000-1.journal").arg(i + 1, 2, 10, QLatin1Char('0'))),
              keptText(i != 0 && i != 5));
    Desk d(dir.path(), CaseCode(1));
    const QStringList left = journals(dir.path());
    EXPECT_EQ(left.size(), 20 + 2 + 1);  // the 20 newest saved, both unsaved, this sitting
    EXPECT_TRUE(left.contains(QStringLiteral("sitting-20260101-000000-000-1.journal")));   // unsaved
    EXPECT_FALSE(left.contains(QStringLiteral("sitting-20260102-000000-000-1.journal")));  // oldest saved
    EXPECT_FALSE(left.contains(QStringLiteral("sitting-20260104-000000-000-1.journal")));
    EXPECT_TRUE(left.contains(QStringLiteral("sitting-20260105-000000-000-1.journal")));
    EXPECT_EQ(d.label("StorageMessage"), QString::fromStdString(prunedMessage(3)));
}

TEST(KeptSittingDesk, DeletingAsksInThePanelThenRemovesEveryKeptSitting) {
    QTemporaryDir dir;
    { Desk(dir.path()).play(); }
    Desk d(dir.path());
    d.play();
    ASSERT_EQ(journals(dir.path()).size(), 2u);
    d.find<QAbstractButton>("DeleteKept")->click();
    EXPECT_TRUE(d.shown("DeleteKeptAsk"));
    EXPECT_EQ(QApplication::focusWidget(), d.find("DeleteKeptNo"));
    d.keep("kept_delete_asked.png");
    d.find<QAbstractButton>("DeleteKeptNo")->click();
    EXPECT_FALSE(d.shown("DeleteKeptAsk"));
    EXPECT_EQ(journals(dir.path()).size(), 2u);

    d.find<QAbstractButton>("DeleteKept")->click();
    d.find<QAbstractButton>("DeleteKeptYes")->click();
    EXPECT_EQ(journals(dir.path()).size(), 0u);
    EXPECT_FALSE(d.shown("ResumeOffer"));
    EXPECT_EQ(d.label("StorageMessage"), qs(panel_text::kKeptDeleted));
    EXPECT_EQ(d.label("UnsavedNote"), qs(panel_text::kUnsavedNote));
    d.trainer.view().give("HScroll1", {InputVerb::Arrow, 1});
    EXPECT_EQ(journals(dir.path()).size(), 0u) << "this sitting is no longer kept";
}
