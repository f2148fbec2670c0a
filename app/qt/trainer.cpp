#include "app/qt/trainer.h"

#include <QApplication>
#include <QDateTime>
#include <QIcon>

#include "app/qt/translations.h"

Trainer::Trainer(std::optional<CaseCode> code, const QString& folder)
    : sitting_(platform_, clock_, code ? *code : CaseCode::fromClock(), QDateTime::currentMSecsSinceEpoch()),
      store_(sitting_, folder) {
    useJapaneseQtTexts();
    // A code asked for is played as asked: nothing from before is offered.
    store_.start(!code);
    window_ = std::make_unique<TrainerWindow>(sitting_, platform_);
    window_->setStore(&store_);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/charts/icon.png")));
}

void Trainer::show() { window_->show(); }
