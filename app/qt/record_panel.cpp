#include "app/qt/record_panel.h"

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
#include <QVBoxLayout>

#include "app/qt/accessible.h"
#include "app/qt/review_plot.h"
#include "app/teaching/panel_texts.h"
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
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return table;
}

// Columns as wide as the widest text they can hold (or their heading): fixed once, since
// measuring every cell again after each change costs more than a frame in a long case.
void fitColumns(QTableWidget* table, std::initializer_list<const char*> widest) {
    const QFontMetrics cell(table->font()), heading(table->horizontalHeader()->font());
    int col = 0;
    for (const char* text : widest) {
        const int w = std::max(cell.horizontalAdvance(qs(text)),
                               heading.horizontalAdvance(table->horizontalHeaderItem(col)->text()));
        table->setColumnWidth(col++, w + 14);
    }
}

// Puts `texts` into row `row`, touching only the cells whose text changed.
template <class Row>
void setRow(QTableWidget* table, int row, const Row& texts) {
    for (int col = 0; col < static_cast<int>(texts.size()); ++col) {
        const QString text = qs(texts[static_cast<size_t>(col)]);
        QTableWidgetItem* item = table->item(row, col);
        if (!item) {
            table->setItem(row, col, new QTableWidgetItem(text));
        } else if (item->text() != text) {
            item->setText(text);
        }
    }
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

void printRecord(const std::vector<CaseRecord>& cases, QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);

    QString html = QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><thead><tr>")
                       .arg(qs(panel_text::kSitting).toHtmlEscaped());
    for (const char* c : kSittingColumns) html += QStringLiteral("<th>%1</th>").arg(qs(c).toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    for (const SittingRow& row : sittingRows(cases)) {
        html += QStringLiteral("<tr>");
        for (const std::string& field : row)
            html += QStringLiteral("<td style=\"white-space: nowrap\">%1</td>").arg(qs(field).toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p>%1</p>").arg(qs(scoreSummaryText(cases)).toHtmlEscaped());

    QTextDocument document;
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSizeF(9);
    document.setDefaultFont(font);
    document.setHtml(html);
    document.print(&printer);
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
    steps_->setFixedHeight(150);
    fitColumns(steps_, {"000", "00分00秒", "クロスシリンダー 中間軸 180°", "Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°",
                        "Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°", "おもての方がよく見えます"});
    reviewColumn->addWidget(steps_);
    summary_ = new QWidget(review_);
    summary_->setObjectName(QStringLiteral("ReviewSummary"));
    auto* summaryGrid = new QGridLayout(summary_);
    summaryGrid->setContentsMargins(0, 0, 0, 0);
    summaryGrid->setHorizontalSpacing(8);
    summaryGrid->setVerticalSpacing(2);
    reviewColumn->addWidget(summary_);
    column->addWidget(review_);

    // 今回の記録: one row per customer, the scores, saving and printing.
    auto* sittingBox = new QGroupBox(qs(panel_text::kSitting), content);
    sittingBox->setObjectName(QStringLiteral("SittingRecord"));
    auto* sittingColumn = new QVBoxLayout(sittingBox);
    record_ = makeTable(headers(kSittingColumns), "SessionTable", sittingBox);
    record_->setAccessibleName(qs(panel_text::kSitting));
    record_->setFixedHeight(140);
    fitColumns(record_,
               {"000", "サンプルモード", "XXXX-XXXX-X", "Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°", "Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°",
                "Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°", "Ｓ-10.00Ｄ Ｃ-5.00Ｄ Ａ180°", "100 点", "000", "00分00秒"});
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
    sittingColumn->addWidget(unsavedNote_);
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
    if (question_->isVisible())
        return {codeInput_, codeStart_, abandonYes_, abandonNo_, steps_, record_, save_, print_};
    return {codeInput_, codeStart_, steps_, record_, save_, print_};
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
            setRow(record_, r, sittingRow(cases[static_cast<size_t>(r)]));
        scoreSummary_->setText(qs(scoreSummaryText(cases)));
        if (shown_.valid) saveMessage_->clear();  // said of a record that has changed since
        shown_.cases = begun;
        shown_.currentSteps = steps;
        shown_.currentStatus = status;
        shown_.valid = true;
    }
    unsavedNote_->setVisible(sitting_.unsaved());

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
    plot_->setCase(c);
    const bool hidden = c == nullptr;
    reviewHidden_->setVisible(hidden);
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
    for (size_t r = from; r < rows.size(); ++r) setRow(steps_, static_cast<int>(r), rows[r]);
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
    shown_.reviewed = index;
    shown_.reviewedSteps = c->steps.size();
    shown_.reviewedStatus = c->status;
    // Once the layout has placed what was just shown.
    if (justEnded || (!sameCase && c->status == CaseStatus::Ended))
        QTimer::singleShot(0, this, [this] { scroll_->ensureWidgetVisible(review_, 0, 0); });
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
                                 .filePath(qs(csvFileName(sitting_.code(), localToday())));
    const QString path = askSavePath_(proposed);
    if (path.isEmpty()) return;  // cancelled: nothing said, nothing written
    const std::string bytes = sittingCsv(sitting_.cases());
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
    printer.setDocName(qs(csvFileName(sitting_.code(), localToday())).chopped(4));
    if (!askPrint_(printer)) return;
    printRecord(sitting_.cases(), printer);
}
