// Qt's own save and print dialogs speak Japanese, whatever the machine's language.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

#include "app/qt/translations.h"

namespace {

QStringList buttonTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        for (const QAbstractButton* b : box->buttons()) texts << b->text().remove(QLatin1Char('&'));
    return texts;
}

bool hasButtonStartingWith(const QStringList& texts, const QString& head) {
    for (const QString& t : texts)
        if (t.startsWith(head)) return true;
    return false;
}

}  // namespace

TEST(JapaneseDialogs, SaveAndPrintDialogsSayWhatTheyDoInJapanese) {
    ASSERT_TRUE(useJapaneseQtTexts()) << "Qt's Japanese translations (qt6-translations-l10n) are missing";
    EXPECT_TRUE(useJapaneseQtTexts()) << "a second call is harmless";

    // The program's save dialog is Qt's own (no platform dialog offscreen or without a desktop).
    QFileDialog save(nullptr, QStringLiteral("CSV保存"));
    save.setOption(QFileDialog::DontUseNativeDialog);
    save.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList saveTexts = buttonTexts(save);
    // Pictures to look at, where asked for.
    if (const QString folder = qEnvironmentVariable("PANEL_PICTURES"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        save.grab().save(QDir(folder).filePath(QStringLiteral("save-dialog.png")));
    }
    EXPECT_TRUE(hasButtonStartingWith(saveTexts, QStringLiteral("保存")))
        << saveTexts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(hasButtonStartingWith(saveTexts, QStringLiteral("キャンセル")))
        << saveTexts.join(QLatin1Char('|')).toStdString();

    QPrinter printer;
    QPrintDialog print(&printer);
    const QStringList printTexts = buttonTexts(print);
    EXPECT_TRUE(hasButtonStartingWith(printTexts, QStringLiteral("印刷")))
        << printTexts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(hasButtonStartingWith(printTexts, QStringLiteral("キャンセル")))
        << printTexts.join(QLatin1Char('|')).toStdString();
}
