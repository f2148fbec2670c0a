#include "app/qt/trainer.h"

#include <QApplication>
#include <QIcon>

#include "app/qt/translations.h"

Trainer::Trainer(std::optional<CaseCode> code) : sitting_(platform_, clock_, code ? *code : CaseCode::fromClock()) {
    useJapaneseQtTexts();
    window_ = std::make_unique<TrainerWindow>(sitting_, platform_);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/charts/icon.png")));
}

void Trainer::show() { window_->show(); }
