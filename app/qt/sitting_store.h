#pragma once
// Where the desktop keeps its sittings: one journal per sitting in the user's data folder
// (app/teaching/journal.h), each line appended and handed to the system at once, a snapshot
// written whole at each case's end, and a lock file so that a second running program leaves the
// sitting alone. At start it looks at what the last run left: a sitting with unsaved work is
// offered, a file that cannot be read is set aside under another name, and saved sittings beyond
// the most recent are removed.

#include <memory>
#include <optional>

#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include "app/teaching/journal.h"
#include "app/teaching/sitting.h"

class QLockFile;

class SittingStore : public QObject, public SittingKeeper {
    Q_OBJECT
public:
    // Keeps `sitting` in `folder`; empty: "sittings" in QStandardPaths::AppDataLocation.
    explicit SittingStore(Sitting& sitting, QString folder = {});
    ~SittingStore() override;

    // Looks at the sittings kept before (offering the last one when `offer` and it has unsaved
    // work), and begins keeping the sitting now in the window.
    void start(bool offer);

    // A sitting from before stands offered, until resumed or withdrawn.
    bool offering() const { return offered_.has_value(); }
    // The person chose to start anew, or gave the window an input: the old sitting stays kept.
    void withdrawOffer();
    // Plays the offered sitting into the window (the sitting's window is replaced) and keeps
    // it on from there. When it does not play back, it is set aside, the panel says so and a fresh
    // sitting takes the window: false.
    bool resumeOffered();

    // Removes every kept sitting this program may touch, this one's too; this sitting is no longer
    // kept (its record lives as long as the program).
    void deleteAll();

    // The sitting is being kept (the storage works and was not cleared).
    bool keeping() const { return file_.isOpen(); }
    // What the panel is to say of the storage; empty when all is well.
    QString message() const { return messages_.join(QLatin1Char('\n')); }
    QString folder() const { return folder_; }
    // The journal of the sitting being kept.
    QString journalPath() const { return current_ + QStringLiteral(".journal"); }

    void keep(const std::string& line, bool caseEnded) override;

signals:
    // The offer, the message or whether the sitting is kept changed.
    void changed();

private:
    void beginKeeping();
    // Writes the whole journal of the sitting anew and goes on appending to it.
    bool rewriteJournal();
    void writeSnapshot();
    void setAside(const QString& base, JournalProblem problem);
    void failed();
    void say(const QString& text);

    Sitting& sitting_;
    QString folder_;
    QString current_;  // path of the sitting being kept, without extension
    QFile file_;
    std::unique_ptr<QLockFile> lock_;
    std::optional<KeptSitting> offered_;
    QString offeredBase_;
    std::unique_ptr<QLockFile> offeredLock_;
    QStringList messages_;
    bool failedOnce_ = false;
};
