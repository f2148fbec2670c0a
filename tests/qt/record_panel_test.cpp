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
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "app/qt/accessible.h"
#include "app/qt/record_panel.h"
#include "app/qt/review_plot.h"
#include "app/qt/trainer_window.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/procedure.h"
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
        // Heard whole; shown on the lines the core's breaks allow.
        const QVariant heard = item->data(Qt::AccessibleTextRole);
        EXPECT_EQ(heard.isValid() ? heard.toString() : item->text(), qs(texts[static_cast<size_t>(col)]))
            << row << "," << col;
        QString joined;
        for (const std::string& part : cellParts(texts[static_cast<size_t>(col)])) joined += qs(part).trimmed();
        EXPECT_EQ(QString(item->text()).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')),
                  QString(joined).remove(QLatin1Char(' ')))
            << row << "," << col;
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
    const QStringList after = tabOrderFrom(last, 4);
    EXPECT_EQ(after, QStringList({"RecordPanelToggle", "TraineeName", "CaseCodeInput", "CaseCodeStart"}));
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

// Every column of a table within the table's view, every line of every cell and heading within
// its column, every cell's lines within its row: nothing scrolls sideways, clipped or elided.
void expectFits(QTableWidget* table) {
    const std::string name = table->objectName().toStdString();
    QApplication::processEvents();
    int sum = 0;
    for (int c = 0; c < table->columnCount(); ++c) sum += table->columnWidth(c);
    EXPECT_LE(sum, table->viewport()->width()) << name;
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0) << name;
    const QFontMetrics cell(table->font()), heading(table->horizontalHeader()->font());
    // The item view's text margins each side of a cell's text.
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    for (int c = 0; c < table->columnCount(); ++c) {
        const int width = table->horizontalHeader()->sectionSize(c);
        const QString title = table->horizontalHeaderItem(c)->text();
        const QRect wrapped = heading.boundingRect(QRect(0, 0, width - margins, 1000), Qt::TextWordWrap, title);
        EXPECT_LE(wrapped.width(), width - margins) << name << " " << title.toStdString();
        EXPECT_LE(wrapped.height(), table->horizontalHeader()->height()) << name << " " << title.toStdString();
        for (int r = 0; r < table->rowCount(); ++r) {
            const QString text = table->item(r, c)->text();
            const QStringList lines = text.split(QLatin1Char('\n'));
            for (const QString& line : lines)
                EXPECT_LE(cell.horizontalAdvance(line) + margins, width)
                    << name << " " << r << "," << c << " " << line.toStdString();
            EXPECT_LE(static_cast<int>(lines.size()) * cell.lineSpacing(), table->rowHeight(r))
                << name << " " << r << "," << c << " " << text.toStdString();
        }
    }
}

TEST(RecordPanel, TheTablesColumnsFitThePanelWithNothingElided) {
    Desk d;
    // A case of every mode, the cross cylinder in and turned, the answers long; one left open.
    d.playAndEnd();
    d.click("STARTbutton");
    d.click("Option11");
    d.click("Command2");
    d.arrow("HScroll4", 12);
    d.click("Command6");
    d.click("Command3");
    d.click("Command6");
    d.click("Option7");
    d.click("Option2");
    d.click("Command6");
    d.click("Command5");
    d.click("STARTbutton");
    d.click("Option12");
    d.arrow("HScroll2", 5);
    d.arrow("HScroll1", 20);
    d.click("Command6");
    ASSERT_EQ(d.table("SessionTable")->rowCount(), 3);
    expectFits(d.table("SessionTable"));
    d.find<QTableWidget>("SessionTable")->selectRow(1);
    ASSERT_GT(d.table("ReviewSteps")->rowCount(), 5);
    expectFits(d.table("ReviewSteps"));
    if (const QString folder = qEnvironmentVariable("PANEL_PICTURES"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        for (const char* name : {"SessionTable", "ReviewSteps"})
            EXPECT_TRUE(d.table(name)->grab().save(QDir(folder).filePath(QString::fromLatin1(name) + ".png")));
    }
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

    // The name as typed, kept without its outer spaces: in the file's name and on every row.
    auto* name = d.find<QLineEdit>("TraineeName");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(name)->text(QAccessible::Name), qs(panel_text::kTraineeName));
    name->insert(QStringLiteral(" 髙橋　𠮷子 "));
    EXPECT_EQ(d.sitting.traineeName(), "髙橋　𠮷子");
    emit name->editingFinished();  // leaving the field shows what is kept
    EXPECT_EQ(name->text(), QStringLiteral("髙橋　𠮷子"));
    QApplication::processEvents();  // the review's own scroll first
    d.find<QScrollArea>("RecordPanelScroll")->verticalScrollBar()->setValue(0);
    d.keep("name.png");

    // Refused: a folder that does not exist. Said beside the button; the record stays unsaved.
    answer = dir.filePath("no-such-folder/record.csv");
    d.click("SaveCsv");
    EXPECT_TRUE(proposed.endsWith(qs(d.sitting.csvFileName(localToday())))) << proposed.toStdString();
    EXPECT_TRUE(proposed.contains(QStringLiteral("_髙橋　𠮷子_"))) << proposed.toStdString();
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
    const std::string expected = sittingCsv(d.sitting.cases(), "髙橋　𠮷子", d.sitting.procedureFigures());
    EXPECT_EQ(bytes.toStdString(), expected);
    EXPECT_TRUE(bytes.contains(QStringLiteral(",髙橋　𠮷子,").toUtf8()));
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

// Without any kind of space: pdftotext spaces the text as the glyphs stand.
QString unspaced(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s"), QRegularExpression::UseUnicodePropertiesOption));
}

// The text of a PDF file, without spaces; empty when pdftotext is not there.
QString pdfText(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(30'000) || p.exitCode() != 0) return {};
    return unspaced(QString::fromUtf8(p.readAllStandardOutput()));
}

TEST(RecordPanel, PrintsTheRecordAsATableOnA4) {
    Desk d;
    d.find<QLineEdit>("TraineeName")->insert(QStringLiteral("髙橋　花子"));
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

    // Each page says whose record it is, its code and date, and its number; the headings stay
    // whole on their line.
    const QString heading = unspaced(qs(recordHeading(d.sitting.traineeName(), d.sitting.code(), localToday())));
    const QString text = pdfText(file);
    if (text.isEmpty()) {
        ADD_FAILURE() << "pdftotext (poppler-utils) is needed to read the printout";
    } else {
        EXPECT_TRUE(text.contains(heading)) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("1/1"))) << text.toStdString();
        for (const char* column : kSittingColumns) EXPECT_TRUE(text.contains(qs(column))) << column;
        // Below the record, the procedure's figures.
        EXPECT_TRUE(text.contains(qs(panel_text::kProcedureFigures))) << text.toStdString();
        for (const char* column : kProcedureColumns) EXPECT_TRUE(text.contains(qs(column))) << column;
    }

    // A long sitting: every page headed and numbered.
    for (int i = 0; i < 45; ++i) {
        d.click("STARTbutton");
        d.click("Command5");
    }
    QFile::remove(file);
    d.click("PrintRecord");
    const int pages = countMatches(readFile(file), R"(/Type\s*/Page(?![a-zA-Z]))");
    EXPECT_GE(pages, 2);
    if (const QString long_ = pdfText(file); !long_.isEmpty()) {
        EXPECT_EQ(long_.count(heading), pages);
        for (int p = 1; p <= pages; ++p) EXPECT_TRUE(long_.contains(QStringLiteral("%1/%2").arg(p).arg(pages))) << p;
        EXPECT_TRUE(long_.contains(QStringLiteral("46"))) << "the last row";
    }
    if (const QString folder = qEnvironmentVariable("PANEL_PICTURES"); !folder.isEmpty())
        QFile::copy(file, folder + "/record-long.pdf");

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
    EXPECT_EQ(table->item(1, 2)->data(Qt::AccessibleTextRole).toString(), qs(CaseCode(77).text()));

    // The fresh window works and is recorded.
    d.arrow("HScroll1");
    EXPECT_EQ(d.sitting.cases().back().steps.size(), 2u);
    const QStringList after = tabOrderFrom(d.window.view().widgetFor(*d.form().tabOrder().back()), 3);
    EXPECT_EQ(after, QStringList({"RecordPanelToggle", "TraineeName", "CaseCodeInput"}));
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

TEST(RecordPanel, HintsInPracticeTheChecksAndTheExpertAfterTheEnd) {
    Desk d;
    EXPECT_FALSE(d.shown("HintButton")) << "a test keeps its answer until the end";
    d.click("Option11");  // practice mode
    QApplication::processEvents();
    ASSERT_TRUE(d.shown("HintButton"));
    EXPECT_EQ(d.find<QPushButton>("HintButton")->text(), qs(panel_text::kHint));
    d.click("HintButton");
    const std::string hint = d.sitting.hintText();
    ASSERT_FALSE(hint.empty());
    EXPECT_EQ(d.label("HintText"), qs(hint));
    EXPECT_EQ(d.find("HintButton")->accessibleDescription(), qs(hint));
    bool heard = false;
    for (Announcer* a : d.window.findChildren<Announcer*>()) heard = heard || a->text() == qs(hint);
    EXPECT_TRUE(heard) << "the hint is announced";
    EXPECT_EQ(d.sitting.cases().back().steps.back().kind, StepKind::Hint);
    d.keep("hint.png");

    EXPECT_FALSE(d.shown("ProcedureReview"));
    EXPECT_FALSE(d.shown("ExpertSteps"));
    d.playAndEnd();
    const CaseRecord& c = d.sitting.cases().back();
    const ExpertPlay& expert = d.sitting.expertFor(c);
    auto* checks = d.find<QTreeWidget>("ProcedureReview");
    ASSERT_TRUE(d.shown("ProcedureReview"));
    const auto want = procedureReview(c, expert.record);
    ASSERT_EQ(checks->topLevelItemCount(), static_cast<int>(want.size()));
    for (int i = 0; i < checks->topLevelItemCount(); ++i) {
        const ProcedureCheck& k = want[static_cast<size_t>(i)];
        EXPECT_TRUE(checks->topLevelItem(i)->text(0).startsWith(qs(k.name + "：" + (k.good ? kGood : kCaution))));
        EXPECT_EQ(checks->topLevelItem(i)->data(0, Qt::AccessibleDescriptionRole).toString(), qs(k.why));
    }
    // Choosing a check's step shows that step in the steps.
    for (int i = 0; i < checks->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = checks->topLevelItem(i);
        if (top->childCount() < 2) continue;
        const int step = top->child(1)->data(0, Qt::UserRole).toInt();
        checks->setCurrentItem(top->child(1));
        ASSERT_FALSE(d.table("ReviewSteps")->selectionModel()->selectedRows().isEmpty());
        EXPECT_EQ(d.table("ReviewSteps")->selectionModel()->selectedRows().first().row(), step);
        break;
    }
    const auto steps = expertTable(expert.result.run);
    ASSERT_EQ(d.table("ExpertSteps")->rowCount(), static_cast<int>(steps.size()));
    for (int r = 0; r < 3; ++r) expectRow(d.table("ExpertSteps"), r, steps[static_cast<size_t>(r)]);
    const auto summary = expertSummary(c, expert.record);
    for (int r = 0; r < static_cast<int>(summary.size()); ++r)
        expectRow(d.table("ExpertSummary"), r, summary[static_cast<size_t>(r)]);
    EXPECT_FALSE(d.shown("HintButton")) << "nothing to hint after the end";
    d.keep("expert.png");
}
