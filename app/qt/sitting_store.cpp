#include "app/qt/sitting_store.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/teaching/panel_texts.h"

namespace {

const QString kPrefix = QStringLiteral("sitting-");
const QString kJournal = QStringLiteral(".journal");
const QString kSnapshot = QStringLiteral(".snapshot");
const QString kLock = QStringLiteral(".lock");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string_view view(const QByteArray& bytes) { return {bytes.constData(), static_cast<size_t>(bytes.size())}; }

// The lock of a sitting, taken when no running program holds it (a lock left by a program that
// was killed is taken over).
std::unique_ptr<QLockFile> lockOf(const QString& base) {
    auto lock = std::make_unique<QLockFile>(base + kJournal + kLock);
    lock->setStaleLockTime(0);  // only a live owner counts
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

}  // namespace

SittingStore::SittingStore(Sitting& sitting, QString folder) : sitting_(sitting), folder_(std::move(folder)) {
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/sittings");
}

SittingStore::~SittingStore() { sitting_.setKeeper(nullptr); }

void SittingStore::start(bool offer) {
    if (!QDir().mkpath(folder_)) {
        failed();
        return;
    }
    QDir dir(folder_);
    // Newest first: the names begin with the time of their start.
    const QStringList names =
        dir.entryList({kPrefix + QLatin1Char('*') + kJournal}, QDir::Files, QDir::Name | QDir::Reversed);
    // Each one's files, read while it is locked; one another program keeps stays locked to it.
    struct Found {
        QString base;
        std::unique_ptr<QLockFile> lock;
        QByteArray journal, snapshot;
    };
    std::vector<Found> files;
    files.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        Found f{dir.filePath(name.chopped(kJournal.size())), nullptr, {}, {}};
        f.lock = lockOf(f.base);
        if (f.lock) f.journal = readAll(f.base + kJournal), f.snapshot = readAll(f.base + kSnapshot);
        files.push_back(std::move(f));
    }
    std::vector<KeptCandidate> candidates;
    for (const Found& f : files) candidates.push_back({view(f.journal), view(f.snapshot), !f.lock});
    KeptReview review = reviewKept(candidates, offer);

    const auto remove = [&](size_t i) {
        QFile::remove(files[i].base + kJournal);
        QFile::remove(files[i].base + kSnapshot);
    };
    for (const auto& [i, problem] : review.setAside) setAside(files[i].base, problem);
    for (size_t i : review.untouched) remove(i);  // started and left untouched: nothing to keep
    if (review.offered) {
        offered_ = std::move(review.offeredSitting);
        offeredBase_ = files[*review.offered].base;
        offeredLock_ = std::move(files[*review.offered].lock);
    }
    for (size_t i : review.removed) remove(i);
    if (!review.removed.empty()) say(QString::fromStdString(prunedMessage(review.removed.size())));
    beginKeeping();
}

void SittingStore::beginKeeping() {
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    current_ = QDir(folder_).filePath(kPrefix + stamp + QLatin1Char('-') +
                                      QString::number(QCoreApplication::applicationPid()));
    lock_ = lockOf(current_);
    if (!lock_ || !rewriteJournal()) failed();
    sitting_.setKeeper(this);
}

bool SittingStore::rewriteJournal() {
    file_.close();
    {
        QSaveFile out(journalPath());
        const std::string& text = sitting_.journal();
        if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
            !out.commit())
            return false;
    }
    file_.setFileName(journalPath());
    // Unbuffered: each line goes to the system as it is written, so a crash of the program loses
    // nothing written before it.
    return file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void SittingStore::keep(const std::string& line, bool caseEnded) {
    if (!file_.isOpen()) return;
    if (file_.write(line.data(), static_cast<qint64>(line.size())) != static_cast<qint64>(line.size())) {
        failed();
        return;
    }
    if (caseEnded) writeSnapshot();
}

void SittingStore::writeSnapshot() {
    QSaveFile out(current_ + kSnapshot);
    const std::string& text = sitting_.journal();
    if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !out.commit())
        failed();
}

void SittingStore::withdrawOffer() {
    if (!offered_) return;
    offered_.reset();
    offeredLock_.reset();
    emit changed();
}

bool SittingStore::resumeOffered() {
    if (!offered_) return false;
    const KeptSitting kept = std::move(*offered_);
    offered_.reset();
    const bool agrees = sitting_.resume(kept);
    if (!agrees) {
        offeredLock_.reset();
        setAside(offeredBase_, JournalProblem::None);
        sitting_.beginAnew(CaseCode::fromClock(), "", QDateTime::currentMSecsSinceEpoch());
        if (file_.isOpen() && !rewriteJournal()) failed();
        emit changed();
        return false;
    }
    // The fresh sitting of this start had no input yet: the old one takes its place.
    const bool wasKeeping = file_.isOpen();
    file_.close();
    QFile::remove(journalPath());
    QFile::remove(current_ + kSnapshot);
    lock_ = std::move(offeredLock_);
    current_ = offeredBase_;
    if (wasKeeping && !rewriteJournal()) failed();
    emit changed();
    return true;
}

void SittingStore::deleteAll() {
    offered_.reset();
    offeredLock_.reset();
    file_.close();
    QFile::remove(journalPath());
    QFile::remove(current_ + kSnapshot);
    lock_.reset();
    QDir dir(folder_);
    for (const QString& name : dir.entryList({kPrefix + QLatin1Char('*')}, QDir::Files)) {
        if (name.endsWith(kLock)) continue;
        // Sittings another running program keeps are its own.
        const QString path = dir.filePath(name);
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        auto lock = lockOf(dir.filePath(name.left(dot)));
        if (!lock) continue;
        QFile::remove(path);
    }
    messages_ = {QString::fromUtf8(panel_text::kKeptDeleted)};
    emit changed();
}

void SittingStore::setAside(const QString& base, JournalProblem problem) {
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Named so that no later start takes it for a sitting again.
    const QString tail = QStringLiteral(".unreadable-") + stamp;
    QFile::rename(base + kJournal, base + kJournal + tail);
    QFile::rename(base + kSnapshot, base + kSnapshot + tail);
    const QString shown = QFileInfo(base + kJournal + tail).fileName();
    say(QString::fromStdString(setAsideMessage(problem, shown.toStdString())));
}

void SittingStore::failed() {
    file_.close();
    if (failedOnce_) return;
    failedOnce_ = true;
    say(QString::fromUtf8(panel_text::kStorageUnwritable));
}

void SittingStore::say(const QString& text) {
    messages_ << text;
    emit changed();
}
