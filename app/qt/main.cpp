// The trainer: one window, the customer behind the phoropter.

#include <cstdio>
#include <optional>

#include <QApplication>
#include <QCommandLineParser>

#include "app/qt/test_script.h"
#include "app/qt/trainer.h"
#include "app/teaching/case_code.h"

namespace {

constexpr int kUsageError = 2;

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption caseCode{QStringLiteral("case"),
                                QStringLiteral("Plays the customers of case code CODE (XXXX-XXXX-C), as anyone "
                                               "given the same code does; without it a fresh code is taken."),
                                QStringLiteral("CODE")};

    CommandLine() {
        parser.addOption(caseCode);
        parser.setApplicationDescription(
            QStringLiteral("A training simulator for subjective refraction: the program plays the customer "
                           "behind the phoropter.\nQt's own options (-platform, -style, ...) work as usual."));
        // "-platform" is one option, not -p -l -a ...; "-reverse" must not read as -v.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    }
};

// The usage text under the program's own name, however it was started.
QString usage(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const qsizetype end = text.indexOf(QLatin1String(" [options]"));
    if (text.startsWith(QLatin1String("Usage: ")) && end > 0)
        text.replace(7, end - 7, QCoreApplication::applicationName());
    return text;
}

void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("refraction-trainer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRAINER_VERSION));

    // --help and --version answer before the window system is asked for, so they work on a
    // terminal without a display. Qt's options are unknown here; they are judged below.
    {
        QStringList raw;
        for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
        CommandLine early;
        early.parser.parse(raw);
        if (early.parser.isSet(early.help)) {
            print(stdout, usage(early.parser));
            return 0;
        }
        if (early.parser.isSet(early.version)) {
            print(stdout, QStringLiteral("refraction-trainer %1\n").arg(QStringLiteral(TRAINER_VERSION)));
            return 0;
        }
    }

    // QApplication takes its own options out of the arguments; whatever is left must be ours.
    QApplication app(argc, argv);
    CommandLine cl;
    const bool parsed = cl.parser.parse(QCoreApplication::arguments());
    QString error = cl.parser.errorText();
    if (parsed && !cl.parser.positionalArguments().isEmpty())
        error = QStringLiteral("Unexpected argument '%1'.").arg(cl.parser.positionalArguments().first());
    std::optional<CaseCode> code;
    if (error.isEmpty() && cl.parser.isSet(cl.caseCode)) {
        const QString typed = cl.parser.value(cl.caseCode);
        code = CaseCode::parse(typed.toStdString());
        if (!code) error = QString::fromUtf8(kBadCaseCodeMessage) + QStringLiteral(": ") + typed;
    }
    if (!error.isEmpty()) {
        print(stderr, QStringLiteral("refraction-trainer: %1\n").arg(error.simplified()) + usage(cl.parser));
        return kUsageError;
    }
    if (cl.parser.isSet(QStringLiteral("help-all"))) cl.parser.process(app);  // lists Qt's options, exits

    Trainer trainer(code);
    trainer.show();
    startTestScript(trainer);
    return app.exec();
}
