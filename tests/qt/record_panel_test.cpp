// The record panel beside the window: the window unchanged inside the program's top-level window,
// the review after the end, the sitting's table, saving the CSV (and failing to), printing,
// starting another code and the customer's view. Set PANEL_PICTURES to a folder to keep the
// pictures of the whole top-level window as PNG files for a look by eye.

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/qt/accessible.h"
#include "app/qt/record_panel.h"
#include "app/qt/review_plot.h"
#include "app/qt/trainer_window.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/review.h"
#include "app/window/view_rules.h"
#include "tests/qt/view_support.h"

namespace {

QString qs(const char* s) { return QString::fromUtf8(s); }
QString qs(const std::string& s) { return QString::fromStdString(s); }

void pressKey(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// The program's window on a fake clock, panel open, shown offscreen.
struct Desk {
    FakeRecordClock clock;
    QtPlatform platform;
    Sitting sitting;
    TrainerWindow window;

    explicit Desk(uint64_t code = 0x2468ACE0) : sitting(platform, clock, CaseCode(code)), window(sitting, platform) {
        window.setPanelOpen(true);
        window.show();
        QApplication::processEvents();
        panel();  // built at once, not after the first paint
    }
    RecordPanel& panel() { return window.panel(); }
    Form1& form() { return sitting.form(); }
    template <class W = QWidget>
    W* find(const char* name) {
        W* w = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) {
        clock.now += 1'500;
        find<QAbstractButton>(name)->click();
    }
    void arrow(const char* bar, int times = 1) {
        for (int i = 0; i < times; ++i) {
            clock.now += 700;
            find<QScrollBar>(bar)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        }
    }
    // A few lens changes and a question, then 測定終了正解は？.
    void playAndEnd() {
        arrow("HScroll1", 3);
        arrow("HScroll2", 2);
        click("Command6");
        click("Command5");
    }
    QTableWidget* table(const char* name) { return find<QTableWidget>(name); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }
    bool shown(const char* name) { return find(name)->isVisibleTo(&window); }
    void keep(const char* file) {
        const QString folder = qEnvironmentVariable("PANEL_PICTURES");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        QApplication::processEvents();
        EXPECT_TRUE(window.grab().save(QDir(folder).filePath(QString::fromLatin1(file))));
    }
};

template <class Row>
void expectRow(QTableWidget* table, int row, const Row& texts) {
    for (int col = 0; col < static_cast<int>(texts.size()); ++col) {
        const QTableWidgetItem* item = table->item(row, col);
        ASSERT_NE(item, nullptr) << table->objectName().toStdString() << " " << row << "," << col;
        EXPECT_EQ(item->text(), qs(texts[static_cast<size_t>(col)])) << row << "," << col;
    }
}

template <size_t N>
void expectHeaders(QTableWidget* table, const std::array<const char*, N>& columns) {
    ASSERT_EQ(table->columnCount(), static_cast<int>(N));
    for (int c = 0; c < static_cast<int>(N); ++c)
        EXPECT_EQ(table->horizontalHeaderItem(c)->text(), qs(columns[static_cast<size_t>(c)]));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The widgets that take the focus, in the order Tab visits them from `from`.
QStringList tabOrderFrom(QWidget* from, int count) {
    QStringList names;
    for (QWidget* w = from->nextInFocusChain(); w != from && names.size() < count; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(from->window()) && w->isEnabled())
            names << w->objectName();
    return names;
}

}  // namespace

TEST(RecordPanel, BesideTheUnchangedWindowWithAToggleThatFoldsIt) {
    Desk d;
    FormView& view = d.window.view();
    EXPECT_EQ(view.objectName(), "Form1");
    EXPECT_EQ(view.parentWidget(), &d.window);
    EXPECT_EQ(view.geometry(), QRect(0, 0, 878, 655));
    EXPECT_EQ(d.window.windowTitle(), "Form1");
    EXPECT_EQ(d.find("HScroll1")->geometry(), QRect(96, 32, 137, 17));
    for (const char* name :
         {"RecordPanel",     "RecordPanelToggle",  "CaseCode",     "CaseCodeInput", "CaseCodeStart", "CaseCodeMessage",
          "CaseReview",      "ReviewPlot",         "ReviewSteps",  "ReviewSummary", "SessionTable",  "ScoreSummary",
          "SaveCsv",         "SaveCsvMessage",     "PrintRecord",  "UnsavedNote",   "PatientView",   "PatientViewFront",
          "PatientViewBack", "PatientViewCaption", "SittingRecord"})
        d.find(name);
    expectHeaders(d.table("ReviewSteps"), kReviewColumns);
    expectHeaders(d.table("SessionTable"), kSittingColumns);
    EXPECT_EQ(d.label("CaseCode"), qs(panel_text::kCaseCode) + " " + qs(d.sitting.code().text()));

    PanelToggle& toggle = d.window.toggle();
    QAccessibleInterface* told = QAccessible::queryAccessibleInterface(&toggle);
    ASSERT_NE(told, nullptr);
    EXPECT_EQ(told->role(), QAccessible::Button);
    EXPECT_TRUE(told->state().expandable);
    EXPECT_TRUE(told->state().expanded);
    EXPECT_EQ(told->text(QAccessible::Name), qs(panel_text::kClose));
    EXPECT_EQ(toggle.text().remove('\n'), qs(panel_text::kClose));
    const QRect panel = d.find("RecordPanel")->geometry();
    EXPECT_GE(panel.left(), 878 + toggle.width());
    EXPECT_EQ(d.window.width(), panel.right() + 1);
    EXPECT_EQ(d.window.height(), 655);
    d.keep("open.png");

    told->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(d.window.panelOpen());
    EXPECT_FALSE(d.shown("RecordPanel"));
    EXPECT_FALSE(told->state().expanded);
    EXPECT_EQ(told->text(QAccessible::Name), qs(panel_text::kOpen));
    EXPECT_EQ(toggle.text().remove('\n'), qs(panel_text::kOpen));
    EXPECT_EQ(d.window.width(), 878 + TrainerWindow::kStripWidth);
    EXPECT_EQ(view.geometry(), QRect(0, 0, 878, 655));
    toggle.click();
    EXPECT_TRUE(d.shown("RecordPanel"));
    EXPECT_EQ(d.window.width(), panel.right() + 1);

    // Inside the top-level window the window's controls tell assistive technology what they did
    // before: a bar its readout, a hidden label nothing.
    QAccessibleInterface* sphere = QAccessible::queryAccessibleInterface(d.find("HScroll1"));
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->text(QAccessible::Description), qs(d.form().Label4.caption));
    ASSERT_FALSE(d.form().Label19.visible);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(d.find("Label19"))->text(QAccessible::Name), "");

    // The panel follows the window in the tab order: after the window's last stop, the toggle,
    // then the code and what follows it.
    const auto& order = d.form().tabOrder();
    QWidget* last = view.widgetFor(*order.back());
    const QStringList after = tabOrderFrom(last, 3);
    EXPECT_EQ(after, QStringList({"RecordPanelToggle", "CaseCodeInput", "CaseCodeStart"}));
}

TEST(RecordPanel, TheReviewWaitsForTheEndInTestModeThenShowsTheCase) {
    Desk d;
    d.arrow("HScroll1", 2);
    EXPECT_TRUE(d.shown("ReviewHidden"));
    EXPECT_EQ(d.label("ReviewHidden"), qs(panel_text::kReviewHidden));
    EXPECT_FALSE(d.shown("ReviewPlot"));
    EXPECT_FALSE(d.shown("ReviewSteps"));
    EXPECT_FALSE(d.shown("PatientViewCaption")) << "the customer's view would give the residual away";
    // The record lists the customer, without what would give the answer away.
    ASSERT_EQ(d.table("SessionTable")->rowCount(), 1);
    EXPECT_EQ(d.table("SessionTable")->item(0, 4)->text(), "");

    d.arrow("HScroll2", 2);
    d.click("Command6");
    d.click("Command5");
    const CaseRecord& c = d.sitting.cases().back();
    ASSERT_EQ(c.status, CaseStatus::Ended);
    EXPECT_FALSE(d.shown("ReviewHidden"));
    EXPECT_TRUE(d.shown("ReviewPlot"));
    QTableWidget* steps = d.table("ReviewSteps");
    const auto rows = reviewTable(c);
    ASSERT_EQ(steps->rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < steps->rowCount(); ++r) expectRow(steps, r, rows[static_cast<size_t>(r)]);
    EXPECT_EQ(c.steps.size(), 7u);  // start, four lens changes, the question, the end

    // The summary, heading and value; the plot's words; the end as a screen reader hears it.
    const auto summary = reviewSummary(c);
    const QList<QLabel*> labels = d.find("ReviewSummary")->findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* l : labels) texts << l->text();
    for (const auto& [heading, value] : summary) {
        EXPECT_TRUE(texts.contains(qs(heading))) << heading;
        EXPECT_TRUE(texts.contains(qs(value))) << value;
    }
    auto* plot = d.find<ReviewPlotWidget>("ReviewPlot");
    EXPECT_EQ(plot->accessibleName(), qs(panel_text::kReview));
    EXPECT_EQ(plot->accessibleDescription(), qs(reviewPlotText(c)));
    auto* announcer = d.window.view().findChild<Announcer*>();
    ASSERT_NE(announcer, nullptr);
    EXPECT_EQ(announcer->text(), qs(endAnnouncement(c)));

    // The plot as drawn: white paper with the three lines in their colours inside the plot area.
    QApplication::processEvents();
    const QImage picture = plot->grab().toImage();
    const ReviewPlot g = reviewPlot(c, kReviewPlotWidth, kReviewPlotHeight);
    const double ratio = picture.devicePixelRatio();
    const QRect area = QRectF(QPointF(g.left + 2, g.top + 2), QPointF(g.right - 2, g.bottom - 2)).toRect();
    std::map<QRgb, int> colours;
    for (int y = static_cast<int>(area.top() * ratio); y < area.bottom() * ratio; ++y)
        for (int x = static_cast<int>(area.left() * ratio); x < area.right() * ratio; ++x)
            ++colours[picture.pixel(x, y) & 0xFFFFFF];
    EXPECT_GT(colours[0xFFFFFF], area.width() * area.height() * ratio * ratio / 2) << "mostly paper";
    for (const QColor& line : {qColour(g.lines[2].pen.colour), qColour(g.lines[1].pen.colour)})  // equivalent, cylinder
        EXPECT_GT(colours[line.rgb() & 0xFFFFFF], 10) << line.name().toStdString();
    d.keep("ended.png");
}

TEST(RecordPanel, TheSittingsTableListsEachCustomerAndChoosesTheReview) {
    Desk d;
    d.click("Option11");  // practice mode: the review follows the case as it goes
    d.playAndEnd();
    d.click("STARTbutton");
    d.arrow("HScroll3", 4);
    d.click("Command5");
    const auto& cases = d.sitting.cases();
    ASSERT_EQ(cases.size(), 2u);
    QTableWidget* table = d.table("SessionTable");
    ASSERT_EQ(table->rowCount(), 2);
    const auto rows = sittingRows(cases);
    for (int r = 0; r < 2; ++r) expectRow(table, r, rows[static_cast<size_t>(r)]);
    EXPECT_EQ(d.label("ScoreSummary"), qs(scoreSummaryText(cases)));
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);

    auto* plot = d.find<ReviewPlotWidget>("ReviewPlot");
    EXPECT_EQ(plot->shownCase(), &cases[1]);
    table->selectRow(0);
    EXPECT_EQ(d.sitting.reviewedIndex(), 0u);
    EXPECT_EQ(plot->shownCase(), &cases[0]);
    EXPECT_EQ(d.table("ReviewSteps")->rowCount(), static_cast<int>(cases[0].steps.size()));
    // The next customer: the review follows the current case again.
    d.click("STARTbutton");
    d.click("Option11");
    EXPECT_EQ(plot->shownCase(), &d.sitting.cases()[2]);
    EXPECT_EQ(table->selectionModel()->selectedRows().value(0).row(), 2);
    EXPECT_EQ(d.table("ReviewSteps")->rowCount(), 2);  // the start and the mode
}

TEST(RecordPanel, SavesTheCsvAndSaysSoAndAFailedSaveLosesNothing) {
    Desk d;
    d.playAndEnd();
    EXPECT_TRUE(d.shown("UnsavedNote"));
    EXPECT_EQ(d.label("UnsavedNote"), qs(panel_text::kUnsavedNote));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString proposed, answer;
    d.panel().setSavePathAsker([&](const QString& p) {
        proposed = p;
        return answer;
    });

    // Refused: a folder that does not exist. Said beside the button; the record stays unsaved.
    answer = dir.filePath("no-such-folder/record.csv");
    d.click("SaveCsv");
    EXPECT_TRUE(proposed.endsWith(qs(csvFileName(d.sitting.code(), localToday())))) << proposed.toStdString();
    EXPECT_TRUE(d.label("SaveCsvMessage").startsWith(qs(panel_text::kSaveFailed) + "："));
    EXPECT_GT(d.label("SaveCsvMessage").size(), QString(qs(panel_text::kSaveFailed) + "：").size()) << "a reason";
    EXPECT_TRUE(d.sitting.unsaved());
    EXPECT_TRUE(d.shown("UnsavedNote"));

    // Cancelled: nothing written, nothing said.
    answer.clear();
    d.click("SaveCsv");
    EXPECT_TRUE(d.sitting.unsaved());

    // Then to a good path: the record's bytes, BOM, header and rows ended by CR LF.
    answer = dir.filePath("record.csv");
    d.click("SaveCsv");
    EXPECT_EQ(d.label("SaveCsvMessage"), qs(panel_text::kSaved));
    const QByteArray bytes = readFile(answer);
    const std::string expected = sittingCsv(d.sitting.cases());
    EXPECT_EQ(bytes.toStdString(), expected);
    EXPECT_TRUE(
        bytes.startsWith("\xEF\xBB\xBF"
                         "番号,モード,問題コード,"));
    EXPECT_EQ(bytes.count("\r\n"), 2);
    EXPECT_EQ(bytes.count('\n'), 2);
    EXPECT_TRUE(bytes.contains(qs(d.sitting.code().text()).toUtf8()));
    EXPECT_FALSE(d.sitting.unsaved());
    EXPECT_FALSE(d.shown("UnsavedNote"));

    // Something new: unsaved again, and the old message no longer stands.
    d.click("STARTbutton");
    d.arrow("HScroll1");
    EXPECT_TRUE(d.shown("UnsavedNote"));
    EXPECT_EQ(d.label("SaveCsvMessage"), "");
}

TEST(RecordPanel, PrintsTheRecordAsATableOnA4) {
    Desk d;
    d.playAndEnd();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("record.pdf");
    QPageLayout layout;
    d.panel().setPrintAsker([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        layout = printer.pageLayout();
        return true;
    });
    d.click("PrintRecord");
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A4);
    const QByteArray pdf = readFile(file);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(countMatches(pdf, R"(/Type\s*/Page(?![a-zA-Z]))"), 1);
    EXPECT_GE(countMatches(pdf, R"(/Type\s*/Font)"), 1) << "the table is text, not a picture";
    if (const QString folder = qEnvironmentVariable("PANEL_PICTURES"); !folder.isEmpty())
        QDir().mkpath(folder), QFile::copy(file, folder + "/record.pdf");

    // Cancelled in the dialog: nothing printed.
    QFile::remove(file);
    d.panel().setPrintAsker([](QPrinter&) { return false; });
    d.click("PrintRecord");
    EXPECT_FALSE(QFile::exists(file));
}

TEST(RecordPanel, ABadCodeChangesNothingAndAGoodOneStartsAFreshWindow) {
    Desk d(0x13579);
    FormView* before = &d.window.view();
    const QString shownCode = d.label("CaseCode");
    auto* input = d.find<QLineEdit>("CaseCodeInput");

    input->setText("1234-5678-Z");  // wrong check symbol
    d.click("CaseCodeStart");
    EXPECT_EQ(d.label("CaseCodeMessage"), qs(kBadCaseCodeMessage));
    EXPECT_EQ(d.label("CaseCode"), shownCode);
    EXPECT_EQ(&d.window.view(), before);

    // Nothing begun: no question, a fresh window for the code typed loosely (Enter starts too).
    const CaseCode next(0xABCDE12345);
    std::string loose = next.text();
    for (char& ch : loose) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    input->setText(qs(loose));
    QMetaObject::invokeMethod(input, "returnPressed");
    EXPECT_EQ(d.sitting.code(), next);
    EXPECT_EQ(d.label("CaseCode"), qs(panel_text::kCaseCode) + " " + qs(next.text()));
    EXPECT_EQ(d.label("CaseCodeMessage"), "");
    FormView& fresh = d.window.view();
    EXPECT_EQ(fresh.objectName(), "Form1");
    EXPECT_EQ(fresh.geometry(), QRect(0, 0, 878, 655));
    EXPECT_TRUE(fresh.isVisibleTo(&d.window));
    EXPECT_EQ(d.find("Label17")->parentWidget(), &fresh);
    EXPECT_EQ(qs(d.form().Label17.caption), d.find<QLabel>("Label17")->text());
    const Control* first = firstFocus(d.form());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(fresh.focusWidget(), fresh.widgetFor(*first));
    // The first customer was left untouched: no row.
    ASSERT_EQ(d.sitting.cases().size(), 1u);
    EXPECT_EQ(d.table("SessionTable")->rowCount(), 1);

    // Work begun: asked first; いいえ changes nothing, はい keeps the customer as 中断.
    d.arrow("HScroll1");
    input->setText(qs(CaseCode(77).text()));
    d.click("CaseCodeStart");
    EXPECT_TRUE(d.shown("AbandonQuestion"));
    d.click("AbandonNo");
    EXPECT_EQ(d.sitting.code(), next);
    d.click("CaseCodeStart");
    d.click("AbandonYes");
    EXPECT_EQ(d.sitting.code(), CaseCode(77));
    QTableWidget* table = d.table("SessionTable");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 5)->text(), qs(kAbandoned));
    EXPECT_EQ(table->item(1, 2)->text(), qs(CaseCode(77).text()));

    // The fresh window works and is recorded.
    d.arrow("HScroll1");
    EXPECT_EQ(d.sitting.cases().back().steps.size(), 2u);
    const QStringList after = tabOrderFrom(d.window.view().widgetFor(*d.form().tabOrder().back()), 2);
    EXPECT_EQ(after, QStringList({"RecordPanelToggle", "CaseCodeInput"}));
}

TEST(RecordPanel, TheCustomersViewFollowsTheModeAndTheCrossCylinder) {
    Desk d;
    EXPECT_FALSE(d.shown("PatientViewCaption"));  // test mode, measuring
    d.click("Option11");
    ASSERT_TRUE(customerViewShown(d.form()));
    EXPECT_TRUE(d.shown("PatientViewCaption"));
    EXPECT_EQ(d.label("PatientViewCaption"), qs(panel_text::kCustomerView));
    EXPECT_TRUE(d.shown("PatientView"));
    EXPECT_FALSE(d.shown("PatientViewFront"));

    const auto samePixels = [&](const char* name, const CustomerPicture& expected) {
        auto* label = d.find<QLabel>(name);
        EXPECT_EQ(label->accessibleName(), qs(expected.description));
        const QImage shown = label->pixmap().toImage().convertToFormat(QImage::Format_RGBA8888);
        ASSERT_EQ(shown.size(), QSize(expected.width, expected.height)) << name;
        for (int y = 0; y < shown.height(); ++y)
            ASSERT_EQ(
                std::memcmp(shown.constScanLine(y), expected.rgba.data() + static_cast<size_t>(y) * expected.width * 4,
                            static_cast<size_t>(expected.width) * 4),
                0)
                << name << " row " << y;
    };
    d.arrow("HScroll1", 4);
    auto pictures = customerView(d.form());
    ASSERT_EQ(pictures.size(), 1u);
    samePixels("PatientView", pictures[0]);

    d.click("Option7");   // the radial dial
    d.click("Command2");  // the cross cylinder in
    pictures = customerView(d.form());
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_FALSE(d.shown("PatientView"));
    EXPECT_TRUE(d.shown("PatientViewFront"));
    EXPECT_TRUE(d.shown("PatientViewBack"));
    samePixels("PatientViewFront", pictures[0]);
    samePixels("PatientViewBack", pictures[1]);
    EXPECT_EQ(d.label("PatientViewFrontCaption"), "おもて（提示中）");
    EXPECT_EQ(d.label("PatientViewBackCaption"), "うら");
    d.keep("crosscylinder.png");
    // 反転: the mark moves to the face the window now shows in front.
    d.click("Command3");
    EXPECT_EQ(d.label("PatientViewFrontCaption"), "おもて");
    EXPECT_EQ(d.label("PatientViewBackCaption"), "うら（提示中）");
    EXPECT_EQ(d.find<QLabel>("PatientViewBack")->accessibleName(), qs(customerView(d.form())[1].description));
    d.keep("crosscylinder_flipped.png");

    // Back to the test mode with the next customer: hidden until the end.
    d.click("Command5");
    d.click("STARTbutton");
    d.click("Option10");
    EXPECT_FALSE(d.shown("PatientViewCaption"));
}

TEST(RecordPanel, AsksInThePanelBeforeAbandoningAMeasurement) {
    Desk d(0x13579);
    auto* input = d.find<QLineEdit>("CaseCodeInput");
    input->setText("1234-5678-Z");
    d.click("CaseCodeStart");
    EXPECT_EQ(d.label("CaseCodeMessage"), qs(kBadCaseCodeMessage));
    EXPECT_FALSE(d.shown("AbandonQuestion"));

    // Work begun, a good code: the question in the panel, the earlier message gone, いいえ focused.
    d.arrow("HScroll1");
    input->setText(qs(CaseCode(42).text()));
    input->setFocus();
    pressKey(input, Qt::Key_Return);
    EXPECT_EQ(d.label("CaseCodeMessage"), "");
    ASSERT_TRUE(d.shown("AbandonQuestion"));
    EXPECT_EQ(d.find<QWidget>("AbandonQuestion")->findChild<QLabel*>()->text(), qs(panel_text::kAbandonQuestion));
    EXPECT_EQ(d.find<QPushButton>("AbandonYes")->text(), qs(panel_text::kYes));
    EXPECT_EQ(d.find<QPushButton>("AbandonNo")->text(), qs(panel_text::kNo));
    EXPECT_EQ(QApplication::focusWidget(), d.find("AbandonNo"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    d.keep("abandon_question.png");

    // Escape is いいえ: nothing changes, the focus back in the field.
    pressKey(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(d.shown("AbandonQuestion"));
    EXPECT_EQ(d.sitting.code(), CaseCode(0x13579));
    EXPECT_EQ(QApplication::focusWidget(), input);

    // Space on the focused いいえ answers it too; Tab to はい and Space starts the code.
    pressKey(input, Qt::Key_Return);
    pressKey(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(d.shown("AbandonQuestion"));
    EXPECT_EQ(d.sitting.code(), CaseCode(0x13579));
    pressKey(input, Qt::Key_Return);
    pressKey(QApplication::focusWidget(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), d.find("AbandonYes"));
    pressKey(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(d.sitting.code(), CaseCode(42));
    EXPECT_FALSE(d.shown("AbandonQuestion"));
}
