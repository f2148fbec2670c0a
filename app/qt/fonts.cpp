#include "app/qt/fonts.h"

#include <QApplication>

namespace {

QFont makeFont(const QString& family, double points, bool bold) {
    QFont f;
    f.setFamily(family);
    f.setPointSizeF(points);
    // Set explicitly, or a child would take the bold of the frame caption around it.
    f.setBold(bold);
    f.setItalic(false);
    f.setUnderline(false);
    return f;
}

void substitute(const QString& family, const QString& by) {
    if (!QFont::substitutes(family).contains(by)) QFont::insertSubstitution(family, by);
}

}  // namespace

void installFonts() {
    substitute(QString::fromUtf8(kGothic), QStringLiteral("IPAGothic"));
    substitute(QString::fromUtf8(kPGothic), QStringLiteral("IPAPGothic"));
    // Tooltips and notices use the application font; they are Japanese too.
    QApplication::setFont(defaultFont());
}

QFont defaultFont() {
    return makeFont(QString::fromStdString(kDefaultFont.family), kDefaultFont.points, kDefaultFont.bold);
}

QFont fontFor(const FontSpec& wanted) {
    if (wanted.family.empty()) return defaultFont();
    return makeFont(QString::fromStdString(wanted.family), wanted.points, wanted.bold);
}
