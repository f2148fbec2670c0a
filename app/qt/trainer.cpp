#include "app/qt/trainer.h"

#include <QApplication>
#include <QIcon>

Trainer::Trainer() : form_(platform_, random_) {
    form_.Form_Load();
    view_ = std::make_unique<FormView>(form_);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/charts/icon.png")));
    platform_.setWindow(view_.get());
}

void Trainer::show() { view_->show(); }
