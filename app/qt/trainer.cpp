#include "trainer.h"

#include <QApplication>
#include <QIcon>

#include "fonts.h"

Trainer::Trainer() : form_(platform_, random_) {
    // The substitutions must be in place before the first widget picks its font.
    installFonts();
    form_.Form_Load();
    view_ = std::make_unique<FormView>(form_);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/charts/icon.png")));
    platform_.setWindow(view_.get());
}

void Trainer::show() { view_->show(); }
