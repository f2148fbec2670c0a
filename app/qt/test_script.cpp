#include "app/qt/test_script.h"

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include "app/qt/trainer.h"
#include "app/teaching/journal.h"

namespace {

struct ScriptLine {
    std::string control;
    UserInput input;
};

std::vector<ScriptLine> readScript(const QString& path) {
    std::vector<ScriptLine> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    std::istringstream in(f.readAll().toStdString());
    std::string control, verb;
    int value = 0;
    static const std::string kVerbs = "csatr";
    while (in >> control >> verb >> value)
        out.push_back({control, {static_cast<InputVerb>(kVerbs.find(verb[0])), value}});
    return out;
}

// The record without its times: what a sitting resumed at another moment must give back.
uint64_t recordDigest(const std::vector<CaseRecord>& cases) {
    std::ostringstream s;
    for (const CaseRecord& c : cases) {
        s << c.code.text() << c.customer << static_cast<int>(c.status) << static_cast<int>(c.mode) << c.reading << '|';
        for (const Step& st : c.steps)
            s << static_cast<int>(st.kind) << ',' << st.choice << ',' << st.lensBars[0] << ',' << st.lensBars[1] << ','
              << st.lensBars[2] << ',' << st.crossCylinder.in << st.crossCylinder.handle << st.crossCylinder.front
              << ',' << st.residual.score << ',' << st.answer << ';';
    }
    uint64_t h = 0xCBF29CE484222325ULL;
    for (const char ch : s.str()) h = (h ^ static_cast<unsigned char>(ch)) * 0x100000001B3ULL;
    return h;
}

size_t inputsHad(const Sitting& sitting) {
    const JournalRead r = readJournal(sitting.journal());
    size_t n = 0;
    if (r.sitting)
        for (const JournalEntry& e : r.sitting->entries) n += e.kind == JournalEntry::Kind::Input;
    return n;
}

void report(const char* what, size_t had, Sitting& sitting) {
    std::printf("%s %zu %zu %016llx %016llx\n", what, had, sitting.cases().empty() ? size_t{0} : sitting.cases().size(),
                static_cast<unsigned long long>(windowFingerprint(sitting.form())),
                static_cast<unsigned long long>(recordDigest(sitting.cases())));
    std::fflush(stdout);
}

}  // namespace

bool startTestScript(Trainer& trainer) {
    const QString path = qEnvironmentVariable("TRAINER_TEST_SCRIPT");
    if (path.isEmpty()) return false;
    auto script = std::make_shared<std::vector<ScriptLine>>(readScript(path));
    if (qEnvironmentVariable("TRAINER_TEST_RESUME") == QStringLiteral("1")) trainer.window().resumeSitting();
    auto next = std::make_shared<size_t>(inputsHad(trainer.sitting()));
    report("start", *next, trainer.sitting());
    auto* timer = new QTimer(&trainer.window());
    QObject::connect(timer, &QTimer::timeout, &trainer.window(), [&trainer, script, next, timer] {
        if (*next >= script->size()) {
            timer->stop();
            std::printf("done\n");
            std::fflush(stdout);
            QCoreApplication::exit(0);
            return;
        }
        const ScriptLine& line = (*script)[(*next)++];
        trainer.view().give(line.control, line.input);
        report("step", *next, trainer.sitting());
    });
    timer->start(0);
    return true;
}
