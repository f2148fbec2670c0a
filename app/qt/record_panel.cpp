#include "app/qt/record_panel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qt/accessible.h"
#include "app/qt/review_plot.h"
#include "app/qt/sitting_store.h"
#include "app/teaching/panel_texts.h"
#include "app/teaching/procedure.h"
#include "app/teaching/review.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString qs(const char* s) { return QString::fromUtf8(s); }

template <size_t N>
QStringList headers(const std::array<const char*, N>& columns) {
    QStringList list;
    for (const char* c : columns) list << qs(c);
    return list;
}

QTableWidget* makeTable(const QStringList& headers, const char* name, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(qs(name));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);  // Tab leaves the table, arrows move inside it
    table->setWordWrap(false);          // lines are broken where the core allows, not by the view
    table->setTextElideMode(Qt::ElideNone);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    // Headings keep their words and wrap where their column is narrower.
    table->horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap));
    table->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return table;
}

// The room a cell's text leaves beside it: the item view's text margins, and a pixel each side.
int cellPadding(const QTableWidget* table) {
    return 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) + 2;
}

// `text` in lines at most `width` wide, broken only where the core allows (its parts), as many
// parts to a line as fit.
QStringList brokenLines(const std::string& text, int width, const QFontMetrics& fm) {
    QStringList lines;
    QString line;
    for (const std::string& part : cellParts(text)) {
        const QString longer = line + qs(part);
        if (!line.isEmpty() && fm.horizontalAdvance(longer.trimmed()) > width) {
            lines << line.trimmed();
            line = qs(part);
        } else {
            line = longer;
        }
    }
    lines << line.trimmed();
    return lines;
}

// What a cell shows: its text, on further lines where its column breaks them.
QString shownCell(const QTableWidget* table, int col, const std::string& text, const std::vector<bool>& breaking) {
    if (!breaking[static_cast<size_t>(col)]) return qs(text);
    const int width = table->columnWidth(col) - cellPadding(table);
    return brokenLines(text, width, QFontMetrics(table->font())).join(QLatin1Char('\n'));
}

// Fits the columns into `width` pixels, fixed once (measuring every cell again after each change
// costs more than a frame in a long case), from the widest texts each column can hold: each
// column as wide as its widest text on one line where all fit; else, those that gain most first,
// columns break their cells into lines at the core's breaks and take the width of their widest
// part, or of half their heading, which then wraps. Returns which columns break; the rows and the
// heading are made tall enough for the lines.
std::vector<bool> fitColumns(QTableWidget* table, int width, const std::vector<std::vector<std::string>>& widest) {
    const QFontMetrics cell(table->font()), heading(table->horizontalHeader()->font());
    const int pad = cellPadding(table);
    const size_t columns = widest.size();
    std::vector<int> whole(columns), broken(columns);
    for (size_t c = 0; c < columns; ++c) {
        const QString title = table->horizontalHeaderItem(static_cast<int>(c))->text();
        whole[c] = heading.horizontalAdvance(title);
        broken[c] = (heading.horizontalAdvance(title) + 1) / 2 + heading.averageCharWidth();
        for (const std::string& text : widest[c]) {
            whole[c] = std::max(whole[c], cell.horizontalAdvance(qs(text)));
            for (const std::string& part : cellParts(text))
                broken[c] = std::max(broken[c], cell.horizontalAdvance(qs(part).trimmed()));
        }
        broken[c] = std::min(broken[c], whole[c]);
    }
    std::vector<bool> breaking(columns, false);
    const auto total = [&] {
        int sum = 0;
        for (size_t c = 0; c < columns; ++c) sum += (breaking[c] ? broken[c] : whole[c]) + pad;
        return sum;
    };
    while (total() > width) {
        size_t best = columns;
        for (size_t c = 0; c < columns; ++c)
            if (!breaking[c] && whole[c] > broken[c] &&
                (best == columns || whole[c] - broken[c] > whole[best] - broken[best]))
                best = c;
        if (best == columns) break;
        breaking[best] = true;
    }
    int lines = 1, headingLines = 1;
    for (size_t c = 0; c < columns; ++c) {
        const int w = breaking[c] ? broken[c] : whole[c];
        table->setColumnWidth(static_cast<int>(c), w + pad);
        if (heading.horizontalAdvance(table->horizontalHeaderItem(static_cast<int>(c))->text()) > w) headingLines = 2;
        if (breaking[c])
            for (const std::string& text : widest[c])
                lines = std::max(lines, static_cast<int>(brokenLines(text, w, cell).size()));
    }
    table->verticalHeader()->setDefaultSectionSize(lines * cell.lineSpacing() + 6);
    table->horizontalHeader()->setFixedHeight(headingLines * heading.lineSpacing() + 8);
    return breaking;
}

// Puts `texts` into row `row`, touching only the cells whose text changed. A cell broken into
// lines is heard as its text.
template <class Row>
void setRow(QTableWidget* table, int row, const Row& texts, const std::vector<bool>& breaking) {
    for (int col = 0; col < static_cast<int>(texts.size()); ++col) {
        const std::string& text = texts[static_cast<size_t>(col)];
        const QString shown = shownCell(table, col, text, breaking);
        QTableWidgetItem* item = table->item(row, col);
        if (!item) {
            item = new QTableWidgetItem(shown);
            table->setItem(row, col, item);
        } else if (item->text() != shown) {
            item->setText(shown);
        } else {
            continue;
        }
        item->setData(Qt::AccessibleTextRole, shown == qs(text) ? QVariant() : QVariant(qs(text)));
    }
}

// The widest lens texts of the tables: every sign and digit at its widest.
const std::string kWidestLens = "Ｓ+10.00Ｄ Ｃ-10.00Ｄ Ａ180°", kWidestPlainLens = "Ｓ 0.00Ｄ Ｃ 0.00Ｄ Ａ180°";

// The width a table of the panel has for its columns: the panel's, less the margins around the
// tables, the table's frame and its scroll bar, and the panel's own scroll bar.
int tableWidth(const QTableWidget* table) {
    const QStyle* style = table->style();
    const int groupMargins =
        style->pixelMetric(QStyle::PM_LayoutLeftMargin) + style->pixelMetric(QStyle::PM_LayoutRightMargin);
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
    return RecordPanel::kWidth - 12 - groupMargins - 2 * table->frameWidth() - 2 * scrollBar - 4;
}

QPixmap pixmapOf(const CustomerPicture& picture) {
    const QImage image(picture.rgba.data(), picture.width, picture.height, picture.width * 4, QImage::Format_RGBA8888);
    return QPixmap::fromImage(image);  // a copy: the picture's bytes need not outlive it
}

QLabel* pictureLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(qs(name));
    label->setAlignment(Qt::AlignCenter);
    label->setScaledContents(false);
    return label;
}

QLabel* caption(const char* text, QWidget* parent) {
    auto* label = new QLabel(qs(text), parent);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

}  // namespace

// The focus is marked by a solid black frame on every stop of the panel, as on the window's own.
const char* const kPanelStyle =
    "QPushButton { border: 1px solid rgb(118, 118, 118); border-radius: 3px; background-color: rgb(246, 246, 246);"
    " padding: 3px 10px; }"
    "QPushButton:hover { background-color: rgb(229, 238, 250); }"
    "QPushButton:pressed { background-color: rgb(212, 212, 212); }"
    "QPushButton:focus { border: 2px solid black; padding: 2px 9px; }"
    "QLineEdit { border: 1px solid rgb(118, 118, 118); background-color: white; padding: 2px; }"
    "QLineEdit:focus { border: 2px solid black; padding: 1px; }"
    "QTableWidget:focus { border: 2px solid black; }";

void printRecord(const Sitting& sitting, const CalendarDate& date, QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    const std::vector<CaseRecord>& cases = sitting.cases();

    // The headings are kept on one line: a narrow column would break Japanese after every
    // character.
    const auto tableHtml = [](const char* title, const auto& columns, const auto& rows, const char* cellStyle) {
        QString html = QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><thead><tr>")
                           .arg(qs(title).toHtmlEscaped());
        for (const char* c : columns)
            html += QStringLiteral("<th style=\"white-space: nowrap\">%1</th>").arg(qs(c).toHtmlEscaped());
        html += QStringLiteral("</tr></thead>");
        for (const auto& row : rows) {
            html += QStringLiteral("<tr>");
            for (const std::string& field : row)
                html += QStringLiteral("<td %1>%2</td>").arg(QLatin1String(cellStyle), qs(field).toHtmlEscaped());
            html += QStringLiteral("</tr>");
        }
        return html + QStringLiteral("</table>");
    };
    QString html =
        tableHtml(panel_text::kSitting, kSittingColumns, sittingRows(cases), "style=\"white-space: nowrap\"");
    html += QStringLiteral("<p>%1</p>").arg(qs(scoreSummaryText(cases)).toHtmlEscaped());
    // Below it, the procedure's figures per customer.
    std::vector<ProcedureRow> procedure;
    const std::vector<ProcedureFigures> figures = sitting.procedureFigures();
    for (size_t i = 0; i < cases.size(); ++i) procedure.push_back(procedureRow(cases[i], figures[i]));
    html += tableHtml(panel_text::kProcedureFigures, kProcedureColumns, procedure, "align=\"right\"");

    // Each page: the name, the code and the date above the record, the page number below.
    QPainter painter;
    if (!painter.begin(&printer)) return;
    QFont font(QStringLiteral("IPAPGothic"));  // Qt takes a name's rarer kanji from another font
    font.setPointSizeF(9);
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF page(0, 0, area.width(), area.height());  // the painter starts at the margins
    const QFontMetricsF metrics(font, &printer);
    const qreal line = metrics.height();
    const QRectF body = page.adjusted(0, line * 2, 0, -line * 2);

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&printer);
    document.setDefaultFont(font);
    document.setHtml(html);
    document.setDocumentMargin(0);
    document.setPageSize(body.size());
    const int pages = std::max(1, document.pageCount());
    const QString heading = qs(recordHeading(sitting.traineeName(), sitting.code(), date));
    for (int p = 0; p < pages; ++p) {
        if (p > 0) printer.newPage();
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(page.left(), page.top(), page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                         heading);
        painter.drawText(QRectF(page.left(), page.bottom() - line, page.width(), line),
                         Qt::AlignHCenter | Qt::AlignVCenter, qs(pageNumberText(p + 1, pages)));
        painter.save();
        painter.translate(body.left(), body.top() - p * body.height());
        const QRectF shown(0, p * body.height(), body.width(), body.height());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
}

RecordPanel::RecordPanel(Sitting& sitting, QWidget* parent) : QWidget(parent), sitting_(sitting) {
    setObjectName(QStringLiteral("RecordPanel"));
    setAccessibleName(qs(panel_text::kPanel));
    askSavePath_ = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, qs(panel_text::kSaveCsv), proposed, QStringLiteral("CSV (*.csv)"));
    };
    askPrint_ = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = scroll_ = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("RecordPanelScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(6, 6, 6, 8);
    column->setSpacing(8);

    // The sitting kept from the last time, offered until chosen or the window is given an input;
    // what the storage could not do.
    resumeOffer_ = new QWidget(content);
    resumeOffer_->setObjectName(QStringLiteral("ResumeOffer"));
    auto* offerColumn = new QVBoxLayout(resumeOffer_);
    offerColumn->setContentsMargins(0, 0, 0, 0);
    auto* offerText = new QLabel(qs(panel_text::kResumeOffer), resumeOffer_);
    offerText->setObjectName(QStringLiteral("ResumeOfferText"));
    offerText->setWordWrap(true);
    offerColumn->addWidget(offerText);
    auto* offerRow = new QHBoxLayout;
    resume_ = new QPushButton(qs(panel_text::kResumeSitting), resumeOffer_);
    resume_->setObjectName(QStringLiteral("ResumeSitting"));
    resume_->setAutoDefault(false);
    startAnew_ = new QPushButton(qs(panel_text::kStartAnew), resumeOffer_);
    startAnew_->setObjectName(QStringLiteral("StartAnew"));
    startAnew_->setAutoDefault(false);
    offerRow->addWidget(resume_);
    offerRow->addWidget(startAnew_);
    offerRow->addStretch(1);
    offerColumn->addLayout(offerRow);
    resumeOffer_->hide();
    column->addWidget(resumeOffer_);
    storageMessage_ = new QLabel(content);
    storageMessage_->setObjectName(QStringLiteral("StorageMessage"));
    storageMessage_->setWordWrap(true);
    storageMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    storageMessage_->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0);"));
    storageMessage_->hide();
    column->addWidget(storageMessage_);
    connect(resume_, &QPushButton::clicked, this, &RecordPanel::resumeRequested);
    connect(startAnew_, &QPushButton::clicked, this, [this] {
        if (store_) store_->withdrawOffer();
    });

    // 名前: the trainee's name, optional; kept as the sitting cleans it.
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(qs(panel_text::kTraineeName), content);
    name_ = new QLineEdit(content);
    name_->setObjectName(QStringLiteral("TraineeName"));
    name_->setAccessibleName(qs(panel_text::kTraineeName));
    name_->setMaxLength(static_cast<int>(kTraineeNameLength));
    name_->setFixedWidth(220);
    nameLabel->setBuddy(name_);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(name_);
    nameRow->addStretch(1);
    column->addLayout(nameRow);
    connect(name_, &QLineEdit::textChanged, this,
            [this](const QString& text) { sitting_.setTraineeName(text.toStdString()); });
    connect(name_, &QLineEdit::editingFinished, this, [this] {
        const QString kept = qs(sitting_.traineeName());
        if (name_->text() != kept) name_->setText(kept);
    });

    // 問題コード: the code of the sitting, and a field to start another.
    code_ = new QLabel(content);
    code_->setObjectName(QStringLiteral("CaseCode"));
    code_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont big = code_->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    code_->setFont(big);
    column->addWidget(code_);
    auto* codeRow = new QHBoxLayout;
    codeInput_ = new QLineEdit(content);
    codeInput_->setObjectName(QStringLiteral("CaseCodeInput"));
    codeInput_->setAccessibleName(qs(panel_text::kCaseCodeInput));
    codeInput_->setMaxLength(32);
    codeInput_->setFixedWidth(150);
    codeStart_ = new QPushButton(qs(panel_text::kCaseCodeStart), content);
    codeStart_->setObjectName(QStringLiteral("CaseCodeStart"));
    codeStart_->setAutoDefault(false);
    codeMessage_ = new QLabel(content);
    codeMessage_->setObjectName(QStringLiteral("CaseCodeMessage"));
    codeMessage_->setStyleSheet(QStringLiteral("color: rgb(176, 0, 0);"));
    codeRow->addWidget(codeInput_);
    codeRow->addWidget(codeStart_);
    codeRow->addWidget(codeMessage_, 1);
    column->addLayout(codeRow);
    connect(codeStart_, &QPushButton::clicked, this, &RecordPanel::startTypedCode);
    connect(codeInput_, &QLineEdit::returnPressed, this, &RecordPanel::startTypedCode);

    // ヒント: the expert's next step, on request.
    auto* hintRow = new QHBoxLayout;
    hint_ = new QPushButton(qs(panel_text::kHint), content);
    hint_->setObjectName(QStringLiteral("HintButton"));
    hint_->setAutoDefault(false);
    hintText_ = new QLabel(content);
    hintText_->setObjectName(QStringLiteral("HintText"));
    hintText_->setWordWrap(true);
    hintText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hintText_->setAccessibleName(qs(panel_text::kHint));
    hintRow->addWidget(hint_, 0, Qt::AlignTop);
    hintRow->addWidget(hintText_, 1);
    column->addLayout(hintRow);
    connect(hint_, &QPushButton::clicked, this, &RecordPanel::askHint);
    // The question before a new code abandons the customer being measured, asked here in the
    // panel: いいえ has the focus, and Escape answers it.
    question_ = new QWidget(content);
    question_->setObjectName(QStringLiteral("AbandonQuestion"));
    auto* questionRow = new QHBoxLayout(question_);
    questionRow->setContentsMargins(0, 0, 0, 0);
    questionText_ = new QLabel(question_);
    questionText_->setWordWrap(true);
    abandonYes_ = new QPushButton(qs(panel_text::kYes), question_);
    abandonYes_->setObjectName(QStringLiteral("AbandonYes"));
    abandonNo_ = new QPushButton(qs(panel_text::kNo), question_);
    abandonNo_->setObjectName(QStringLiteral("AbandonNo"));
    for (QPushButton* b : {abandonYes_, abandonNo_}) b->setAutoDefault(false);
    questionRow->addWidget(questionText_, 1);
    questionRow->addWidget(abandonYes_);
    questionRow->addWidget(abandonNo_);
    question_->hide();
    column->addWidget(question_);
    connect(abandonYes_, &QPushButton::clicked, this, [this] { answerAbandon(true); });
    connect(abandonNo_, &QPushButton::clicked, this, [this] { answerAbandon(false); });
    for (QPushButton* b : {abandonYes_, abandonNo_}) b->installEventFilter(this);

    // 見え方のイメージ: one picture, or the two faces of the cross cylinder side by side.
    customer_ = new QGroupBox(content);
    customer_->setObjectName(QStringLiteral("CustomerView"));
    auto* customerColumn = new QVBoxLayout(customer_);
    customerColumn->setContentsMargins(6, 6, 6, 6);
    customerColumn->setSpacing(4);
    auto* customerCaption = new QLabel(qs(panel_text::kCustomerView), customer_);
    customerCaption->setObjectName(QStringLiteral("PatientViewCaption"));
    QFont bold = customerCaption->font();
    bold.setBold(true);
    customerCaption->setFont(bold);
    customerColumn->addWidget(customerCaption);
    picture_ = pictureLabel("PatientView", customer_);
    customerColumn->addWidget(picture_);
    faces_ = new QWidget(customer_);
    auto* facesRow = new QGridLayout(faces_);
    facesRow->setContentsMargins(0, 0, 0, 0);
    facesRow->setHorizontalSpacing(4);
    facesRow->setVerticalSpacing(2);
    front_ = pictureLabel("PatientViewFront", faces_);
    back_ = pictureLabel("PatientViewBack", faces_);
    facesRow->addWidget(front_, 0, 0);
    facesRow->addWidget(back_, 0, 1);
    faceCaptions_[0] = caption(panel_text::kFront, faces_);
    faceCaptions_[0]->setObjectName(QStringLiteral("PatientViewFrontCaption"));
    faceCaptions_[1] = caption(panel_text::kBack, faces_);
    faceCaptions_[1]->setObjectName(QStringLiteral("PatientViewBackCaption"));
    facesRow->addWidget(faceCaptions_[0], 1, 0);
    facesRow->addWidget(faceCaptions_[1], 1, 1);
    customerColumn->addWidget(faces_);
    column->addWidget(customer_);

    // 振り返り: the plot, the steps and the summary of the case chosen in the record.
    review_ = new QGroupBox(qs(panel_text::kReview), content);
    review_->setObjectName(QStringLiteral("CaseReview"));
    auto* reviewColumn = new QVBoxLayout(review_);
    reviewHidden_ = new QLabel(qs(panel_text::kReviewHidden), review_);
    reviewHidden_->setObjectName(QStringLiteral("ReviewHidden"));
    reviewColumn->addWidget(reviewHidden_);
    plot_ = new ReviewPlotWidget(review_);
    plot_->setObjectName(QStringLiteral("ReviewPlot"));
    reviewColumn->addWidget(plot_, 0, Qt::AlignHCenter);  // at the size the core draws it
    steps_ = makeTable(headers(kReviewColumns), "ReviewSteps", review_);
    steps_->setAccessibleName(qs(panel_text::kReviewSteps));
    steps_->setFixedHeight(200);
    stepsBreaking_ = fitColumns(steps_, tableWidth(steps_),
                                {{"000"},
                                 {"00分00秒"},
                                 {"クロスシリンダー 中間軸 180°", "クロスシリンダー つかう", "質問：クロスシリンダー"},
                                 {kWidestLens, kWidestPlainLens},
                                 {kWidestLens, kWidestPlainLens},
                                 {"9時-3時方向の線がよく見えます", "おもての方がよく見えます"}});
    reviewColumn->addWidget(steps_);
    summary_ = new QWidget(review_);
    summary_->setObjectName(QStringLiteral("ReviewSummary"));
    auto* summaryGrid = new QGridLayout(summary_);
    summaryGrid->setContentsMargins(0, 0, 0, 0);
    summaryGrid->setHorizontalSpacing(8);
    summaryGrid->setVerticalSpacing(2);
    reviewColumn->addWidget(summary_);
    // After the end: the checks of the procedure (each with the steps it points at, which
    // choosing shows in the steps), the expert's figures beside the trainee's, and its steps.
    procedure_ = new QTreeWidget(review_);
    procedure_->setObjectName(QStringLiteral("ProcedureReview"));
    procedure_->setAccessibleName(qs(panel_text::kProcedureReview));
    procedure_->setHeaderLabels({qs(panel_text::kProcedureReview)});
    procedure_->setWordWrap(true);
    procedure_->setFixedHeight(190);
    reviewColumn->addWidget(procedure_);
    connect(procedure_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item || !item->data(0, Qt::UserRole).isValid()) return;
        const int row = item->data(0, Qt::UserRole).toInt();
        steps_->selectRow(row);
        steps_->scrollToItem(steps_->item(row, 0));
    });
    expertSummary_ = makeTable(headers(kExpertSummaryColumns), "ExpertSummary", review_);
    expertSummary_->setAccessibleName(qs(panel_text::kExpertSummary));
    expertSummary_->setFixedHeight(expertSummary_->verticalHeader()->defaultSectionSize() * 5 + 8);
    expertSummaryBreaking_ =
        fitColumns(expertSummary_, tableWidth(expertSummary_), {{"ヒント数"}, {"100 点"}, {"100 点"}});
    reviewColumn->addWidget(expertSummary_);
    expertSteps_ = makeTable(headers(kExpertColumns), "ExpertSteps", review_);
    expertSteps_->setAccessibleName(qs(panel_text::kExpertSteps));
    expertSteps_->setFixedHeight(150);
    expertStepsBreaking_ = fitColumns(expertSteps_, tableWidth(expertSteps_),
                                      {{"000"},
                                       {"視力表でＳ+0.25Ｄはある方がいいですか"},
                                       {"Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°"},
                                       {"おもての方がよく見えます"},
                                       {kWhyAcuityHunt}});
    reviewColumn->addWidget(expertSteps_);
    column->addWidget(review_);

    // 今回の記録: one row per customer, the scores, saving and printing.
    auto* sittingBox = new QGroupBox(qs(panel_text::kSitting), content);
    sittingBox->setObjectName(QStringLiteral("SittingRecord"));
    auto* sittingColumn = new QVBoxLayout(sittingBox);
    record_ = makeTable(headers(kSittingColumns), "SessionTable", sittingBox);
    record_->setAccessibleName(qs(panel_text::kSitting));
    record_->setFixedHeight(200);
    recordBreaking_ = fitColumns(record_, tableWidth(record_),
                                 {{"000"},
                                  {"サンプルモード", "テストモード"},
                                  {"WWWW-WWWW-W", "MMMM-MMMM-M"},
                                  {kWidestLens, kWidestPlainLens},
                                  {kWidestLens, kWidestPlainLens},
                                  {kWidestLens, kWidestPlainLens, kMeasuring, kAbandoned},
                                  {kWidestLens, kWidestPlainLens},
                                  {"100 点", kMeasuring, kAbandoned},
                                  {"000"},
                                  {"00分00秒"}});
    sittingColumn->addWidget(record_);
    scoreSummary_ = new QLabel(sittingBox);
    scoreSummary_->setObjectName(QStringLiteral("ScoreSummary"));
    sittingColumn->addWidget(scoreSummary_);
    auto* saveRow = new QHBoxLayout;
    save_ = new QPushButton(qs(panel_text::kSaveCsv), sittingBox);
    save_->setObjectName(QStringLiteral("SaveCsv"));
    save_->setAutoDefault(false);
    print_ = new QPushButton(qs(panel_text::kPrintRecord), sittingBox);
    print_->setObjectName(QStringLiteral("PrintRecord"));
    print_->setAutoDefault(false);
    saveMessage_ = new QLabel(sittingBox);
    saveMessage_->setObjectName(QStringLiteral("SaveCsvMessage"));
    saveRow->addWidget(save_);
    saveRow->addWidget(print_);
    saveRow->addWidget(saveMessage_, 1);
    sittingColumn->addLayout(saveRow);
    unsavedNote_ = new QLabel(qs(panel_text::kUnsavedNote), sittingBox);
    unsavedNote_->setObjectName(QStringLiteral("UnsavedNote"));
    unsavedNote_->setWordWrap(true);
    sittingColumn->addWidget(unsavedNote_);
    // 記録を消す, asked here rather than in a box over the window: はい removes them.
    auto* deleteRow = new QHBoxLayout;
    deleteKept_ = new QPushButton(qs(panel_text::kDeleteKept), sittingBox);
    deleteKept_->setObjectName(QStringLiteral("DeleteKept"));
    deleteKept_->setAutoDefault(false);
    deleteKept_->hide();
    deleteAsk_ = new QWidget(sittingBox);
    deleteAsk_->setObjectName(QStringLiteral("DeleteKeptAsk"));
    auto* askRow = new QHBoxLayout(deleteAsk_);
    askRow->setContentsMargins(0, 0, 0, 0);
    auto* question = new QLabel(qs(panel_text::kDeleteKeptQuestion), deleteAsk_);
    question->setObjectName(QStringLiteral("DeleteKeptQuestion"));
    question->setWordWrap(true);
    deleteYes_ = new QPushButton(qs(panel_text::kYes), deleteAsk_);
    deleteYes_->setObjectName(QStringLiteral("DeleteKeptYes"));
    deleteYes_->setAutoDefault(false);
    deleteYes_->setAccessibleDescription(qs(panel_text::kDeleteKeptQuestion));
    deleteNo_ = new QPushButton(qs(panel_text::kNo), deleteAsk_);
    deleteNo_->setObjectName(QStringLiteral("DeleteKeptNo"));
    deleteNo_->setAutoDefault(false);
    deleteNo_->setAccessibleDescription(qs(panel_text::kDeleteKeptQuestion));
    askRow->addWidget(question, 1);
    askRow->addWidget(deleteYes_);
    askRow->addWidget(deleteNo_);
    deleteAsk_->hide();
    deleteRow->addWidget(deleteKept_);
    deleteRow->addWidget(deleteAsk_, 1);
    deleteRow->addStretch(0);
    sittingColumn->addLayout(deleteRow);
    connect(deleteKept_, &QPushButton::clicked, this, [this] { askDeleteKept(true); });
    connect(deleteNo_, &QPushButton::clicked, this, [this] { askDeleteKept(false); });
    connect(deleteYes_, &QPushButton::clicked, this, [this] {
        askDeleteKept(false);
        if (store_) store_->deleteAll();
    });
    column->addWidget(sittingBox);
    column->addStretch(1);
    connect(save_, &QPushButton::clicked, this, &RecordPanel::saveCsv);
    connect(print_, &QPushButton::clicked, this, &RecordPanel::print);
    connect(record_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (selecting_) return;
        const auto rows = record_->selectionModel()->selectedRows();
        if (rows.isEmpty()) return;
        sitting_.chooseCase(static_cast<size_t>(rows.first().row()));
        refresh();
    });

    scroll->setWidget(content);
    setFixedWidth(kWidth);
    setStyleSheet(QString::fromLatin1(kPanelStyle));
    refresh();
}

QList<QWidget*> RecordPanel::tabStops() const {
    QList<QWidget*> stops = {resume_, startAnew_, name_, codeInput_, codeStart_};
    if (question_->isVisible()) stops << abandonYes_ << abandonNo_;
    stops << hint_ << steps_ << procedure_ << expertSummary_ << expertSteps_ << record_ << save_ << print_
          << deleteKept_ << deleteYes_ << deleteNo_;
    return stops;
}

void RecordPanel::setStore(SittingStore* store) {
    store_ = store;
    if (store_) connect(store_, &SittingStore::changed, this, &RecordPanel::showKept);
    showKept();
}

void RecordPanel::showKept() {
    const bool offering = store_ && store_->offering();
    // Hiding a button that has the focus would drop it on the window's first stop; keep it in
    // the panel instead.
    if (!offering && resumeOffer_->isAncestorOf(QApplication::focusWidget())) codeInput_->setFocus();
    resumeOffer_->setVisible(offering);
    const QString message = store_ ? store_->message() : QString();
    if (storageMessage_->text() != message) {
        storageMessage_->setText(message);
        if (!message.isEmpty()) announce(this, message);
    }
    storageMessage_->setVisible(!message.isEmpty());
    deleteKept_->setVisible(store_ != nullptr);
    unsavedNote_->setText(qs(store_ && store_->keeping() ? panel_text::kKeptNote : panel_text::kUnsavedNote));
}

void RecordPanel::askDeleteKept(bool asking) {
    deleteAsk_->setVisible(asking);
    (asking ? deleteNo_ : deleteKept_)->setFocus();
}

void RecordPanel::codeStarted() {
    shown_ = Shown{};
    customerKey_.reset();
    showPrompt();
    codeInput_->clear();
    refresh();
}

void RecordPanel::refresh() {
    showCode();
    showHint();
    showRecord();
    showReview();
    showCustomerView();
    // A part shown or hidden changes the height of what scrolls: size it now rather than a few
    // turns of the event loop later, when the parts would overlap for a frame meanwhile.
    QWidget* content = scroll_->widget();
    for (QWidget* part : std::initializer_list<QWidget*>{faces_, customer_, review_}) {
        part->layout()->invalidate();
        part->layout()->activate();
    }
    content->layout()->invalidate();
    content->layout()->activate();
    const int wanted = std::max(content->minimumSizeHint().height(), scroll_->viewport()->height());
    if (content->height() != wanted) scroll_->setWidgetResizable(true);  // which fits the content at once
}

void RecordPanel::showCode() {
    const QString text = qs(panel_text::kCaseCode) + QLatin1Char(' ') + qs(sitting_.code().text());
    if (code_->text() != text) code_->setText(text);
}

void RecordPanel::showRecord() {
    const auto& cases = sitting_.cases();
    const CaseRecord* current = cases.empty() ? nullptr : &cases.back();
    const size_t steps = current ? current->steps.size() : 0;
    const CaseStatus status = current ? current->status : CaseStatus::Measuring;
    const size_t begun = sitting_.recorder().casesBegun();
    const bool changed =
        !shown_.valid || shown_.cases != begun || shown_.currentSteps != steps || shown_.currentStatus != status;
    if (changed) {
        const int rows = static_cast<int>(cases.size());
        // A new customer: every row is redone (the one before may have become 中断, or gone when
        // untouched); else only the last.
        const bool newRows = !shown_.valid || shown_.cases != begun || record_->rowCount() != rows;
        record_->setRowCount(rows);
        for (int r = newRows ? 0 : std::max(0, rows - 1); r < rows; ++r)
            setRow(record_, r, sittingRow(cases[static_cast<size_t>(r)]), recordBreaking_);
        scoreSummary_->setText(qs(scoreSummaryText(cases)));
        if (shown_.valid) saveMessage_->clear();  // said of a record that has changed since
        shown_.cases = begun;
        shown_.currentSteps = steps;
        shown_.currentStatus = status;
        shown_.valid = true;
    }
    unsavedNote_->setVisible(sitting_.unsaved());
    if (store_) showKept();

    const auto row = sitting_.currentRow();
    const int selected = static_cast<int>(row.value_or(0));
    const auto rows = record_->selectionModel()->selectedRows();
    if (row && (rows.isEmpty() || rows.first().row() != selected)) {
        selecting_ = true;
        record_->selectRow(selected);
        selecting_ = false;
    }
}

void RecordPanel::showReview() {
    const auto index = sitting_.reviewedIndex();
    const CaseRecord* c = sitting_.reviewed();
    const bool ended = c && c->status == CaseStatus::Ended;
    plot_->setCase(c, ended ? &sitting_.expertFor(*c).record : nullptr);
    const bool hidden = c == nullptr;
    reviewHidden_->setVisible(hidden);
    if (hidden) reviewHidden_->setText(qs(sitting_.reviewAbsence()));
    plot_->setVisible(!hidden);
    steps_->setVisible(!hidden);
    summary_->setVisible(!hidden);
    if (hidden) {
        // Nothing of a hidden review is told to assistive technology either.
        plot_->setAccessibleName(QString());
        plot_->setAccessibleDescription(QString());
        steps_->setAccessibleName(QString());
        steps_->setRowCount(0);
        shown_.reviewed.reset();
        showAfterEnd(nullptr);
        return;
    }
    plot_->setAccessibleName(qs(panel_text::kReview));
    steps_->setAccessibleName(qs(panel_text::kReviewSteps));
    const bool sameCase = shown_.reviewed == index;
    // A case that has just ended: its review is what the trainee looks at next.
    const bool justEnded = sameCase && shown_.reviewedStatus != CaseStatus::Ended && c->status == CaseStatus::Ended;
    if (sameCase && shown_.reviewedSteps == c->steps.size() && shown_.reviewedStatus == c->status) return;

    // The steps: only the new ones when the same case has grown.
    const size_t from = sameCase ? std::min(shown_.reviewedSteps, c->steps.size()) : 0;
    const std::vector<ReviewRow> rows = reviewTable(*c);
    steps_->setUpdatesEnabled(false);
    steps_->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = from; r < rows.size(); ++r) setRow(steps_, static_cast<int>(r), rows[r], stepsBreaking_);
    steps_->setUpdatesEnabled(true);
    if (!sameCase || from < rows.size()) steps_->scrollToBottom();

    // The summary as heading and value, three pairs to a line.
    const auto summary = reviewSummary(*c);
    auto* grid = static_cast<QGridLayout*>(summary_->layout());
    if (summaryValues_.size() != summary.size()) {
        for (size_t i = 0; i < summary.size(); ++i) {
            auto* heading = new QLabel(qs(summary[i].first), summary_);
            heading->setStyleSheet(QStringLiteral("color: rgb(80, 80, 80);"));
            auto* value = new QLabel(summary_);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            const int row = static_cast<int>(i / 3), col = static_cast<int>(i % 3) * 2;
            grid->addWidget(heading, row, col);
            grid->addWidget(value, row, col + 1);
            summaryValues_.push_back(value);
        }
        grid->setColumnStretch(5, 1);
    }
    for (size_t i = 0; i < summary.size(); ++i) summaryValues_[i]->setText(qs(summary[i].second));

    plot_->setAccessibleDescription(qs(reviewPlotText(*c)));
    showAfterEnd(ended ? c : nullptr);
    shown_.reviewed = index;
    shown_.reviewedSteps = c->steps.size();
    shown_.reviewedStatus = c->status;
    // Once the layout has placed what was just shown.
    if (justEnded || (!sameCase && c->status == CaseStatus::Ended))
        QTimer::singleShot(0, this, [this] { scroll_->ensureWidgetVisible(review_, 0, 0); });
}

void RecordPanel::showAfterEnd(const CaseRecord* c) {
    procedure_->setVisible(c != nullptr);
    expertSummary_->setVisible(c != nullptr);
    expertSteps_->setVisible(c != nullptr);
    if (!c) {
        procedure_->clear();
        expertSummary_->setRowCount(0);
        expertSteps_->setRowCount(0);
        return;
    }
    const ExpertPlay& expert = sitting_.expertFor(*c);
    // A check: its name, verdict and figures; under it why it matters and its steps, each of
    // which shows that step in the steps above when chosen.
    procedure_->clear();
    for (const ProcedureCheck& k : procedureReview(*c, expert.record)) {
        QString head = qs(k.name) + QStringLiteral("：") + qs(k.good ? kGood : kCaution);
        if (!k.detail.empty()) head += QStringLiteral("（") + qs(k.detail) + QStringLiteral("）");
        auto* item = new QTreeWidgetItem(procedure_, {head});
        item->setToolTip(0, qs(k.why));
        item->setData(0, Qt::AccessibleDescriptionRole, qs(k.why));
        if (!k.good) item->setForeground(0, QColor(176, 0, 0));
        auto* why = new QTreeWidgetItem(item, {qs(k.why)});
        why->setFlags(Qt::ItemIsEnabled);
        for (size_t step : k.steps) {
            auto* s = new QTreeWidgetItem(item, {qs(panel_text::kStepNumber) + QString::number(step)});
            s->setData(0, Qt::UserRole, static_cast<int>(step));
        }
        item->setExpanded(!k.good);
    }
    const auto summary = expertSummary(*c, expert.record);
    expertSummary_->setRowCount(static_cast<int>(summary.size()));
    for (size_t r = 0; r < summary.size(); ++r)
        setRow(expertSummary_, static_cast<int>(r), summary[r], expertSummaryBreaking_);
    const auto rows = expertTable(expert.result.run);
    expertSteps_->setUpdatesEnabled(false);
    expertSteps_->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) setRow(expertSteps_, static_cast<int>(r), rows[r], expertStepsBreaking_);
    expertSteps_->setUpdatesEnabled(true);
}

void RecordPanel::showHint() {
    hint_->setVisible(sitting_.hintOffered());
    const QString text = qs(sitting_.hintText());
    hintText_->setVisible(!text.isEmpty() && sitting_.hintOffered());
    if (hintText_->text() != text) hintText_->setText(text);
    hint_->setAccessibleDescription(text);
}

void RecordPanel::askHint() {
    const QString text = qs(sitting_.askHint());
    refresh();
    if (!text.isEmpty()) announce(this, text);
}

void RecordPanel::showCustomerView() {
    // Nothing is computed while the panel is folded away; unfolding refreshes.
    if (isHidden()) {
        customer_->hide();
        customerKey_.reset();
        return;
    }
    const CustomerViewKey key = customerViewKey(sitting_.form());
    if (customerKey_ && *customerKey_ == key) return;
    customerKey_ = key;
    if (!key.shown) {
        customer_->hide();
        return;
    }
    const std::vector<CustomerPicture> pictures = customerView(sitting_.form());
    const bool faces = pictures.size() == 2;
    picture_->setVisible(!faces);
    faces_->setVisible(faces);
    if (faces) {
        front_->setPixmap(pixmapOf(pictures[0]));
        front_->setAccessibleName(qs(pictures[0].description));
        back_->setPixmap(pixmapOf(pictures[1]));
        back_->setAccessibleName(qs(pictures[1].description));
        // The face in front of the eye now: its caption says so, on a dark ground.
        const auto captions = faceCaptions(sitting_.form().setting().front);
        for (size_t i = 0; i < captions.size(); ++i) {
            faceCaptions_[i]->setText(qs(captions[i].text));
            faceCaptions_[i]->setStyleSheet(
                captions[i].inFront ? QStringLiteral("background: rgb(0, 70, 160); color: white; font-weight: bold;")
                                    : QString());
        }
    } else if (!pictures.empty()) {
        picture_->setPixmap(pixmapOf(pictures[0]));
        picture_->setAccessibleName(qs(pictures[0].description));
    }
    customer_->show();
}

void RecordPanel::startTypedCode() {
    const auto code = sitting_.offerCode(codeInput_->text().toStdString());
    showPrompt();
    if (code) emit startCodeRequested(*code);
}

void RecordPanel::answerAbandon(bool yes) {
    const auto code = sitting_.answerAbandon(yes);
    showPrompt();
    if (code)
        emit startCodeRequested(*code);
    else
        codeInput_->setFocus(Qt::OtherFocusReason);
}

bool RecordPanel::eventFilter(QObject* watched, QEvent* event) {
    // Escape on the question answers いいえ.
    if ((watched == abandonYes_ || watched == abandonNo_) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        answerAbandon(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void RecordPanel::showPrompt() {
    const Sitting::CodePrompt& prompt = sitting_.codePrompt();
    codeMessage_->setText(qs(prompt.message));
    if (!prompt.message.empty()) announce(this, qs(prompt.message));
    const bool asking = !prompt.question.empty();
    const bool wasAsking = question_->isVisible();
    questionText_->setText(qs(prompt.question));
    abandonYes_->setAccessibleDescription(qs(prompt.question));
    abandonNo_->setAccessibleDescription(qs(prompt.question));
    question_->setVisible(asking);
    if (asking && !wasAsking) {
        setTabOrder(codeStart_, abandonYes_);
        setTabOrder(abandonYes_, abandonNo_);
        setTabOrder(abandonNo_, steps_);
        abandonNo_->setFocus(Qt::OtherFocusReason);
        announce(this, qs(prompt.question));
    }
}

void RecordPanel::saveCsv() {
    const QString proposed = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                 .filePath(qs(sitting_.csvFileName(localToday())));
    const QString path = askSavePath_(proposed);
    if (path.isEmpty()) return;  // cancelled: nothing said, nothing written
    const std::string bytes = sitting_.csv();
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly);
    if (saved) saved = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    if (saved) saved = file.commit();
    QString message;
    if (saved) {
        sitting_.markSaved();
        message = qs(panel_text::kSaved);
    } else {
        file.cancelWriting();
        message = qs(panel_text::kSaveFailed) + QStringLiteral("：") + file.errorString();
    }
    unsavedNote_->setVisible(sitting_.unsaved());
    saveMessage_->setText(message);
    announce(this, message);
}

void RecordPanel::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    const CalendarDate today = localToday();
    printer.setDocName(qs(sitting_.csvFileName(today)).chopped(4));
    if (!askPrint_(printer)) return;
    printRecord(sitting_, today, printer);
}
