#pragma once
// The panel beside the window: the case code, 振り返り (the review of a case), 今回の記録 (the
// sitting's record, saved as CSV or printed) and 見え方のイメージ (the chart as the customer sees
// it). It only shows what the sitting holds; the window is run by FormView.

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "app/teaching/customer_view.h"
#include "app/teaching/sitting.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QScrollArea;
class QTableWidget;
class QTreeWidget;
class ReviewPlotWidget;
class SittingStore;

// The panel's look: its own buttons, fields and tables, and a plain focus mark on each.
extern const char* const kPanelStyle;

// Lays the record out as a table (and the score summary under it) and prints it on A4, each
// page headed by the name, the code and `date`, and numbered.
void printRecord(const Sitting& sitting, const CalendarDate& date, QPrinter& printer);

class RecordPanel : public QWidget {
    Q_OBJECT
public:
    // The width the panel takes beside the window: room for the two faces of the cross cylinder
    // side by side at their own size (2 x 282 pixels) beside the scroll bar.
    static constexpr int kWidth = 624;

    explicit RecordPanel(Sitting& sitting, QWidget* parent = nullptr);

    // Shows the sitting as it now stands; cheap when little changed (call after every action).
    void refresh();
    // The sitting has a fresh window: forget what was shown of the old one.
    void codeStarted();

    // What the panel asks the person through the system's dialogs, replaceable for tests: the
    // file to save to (empty: cancelled), whether to print (the printer set up as chosen).
    using SavePathAsker = std::function<QString(const QString& proposed)>;
    using PrintAsker = std::function<bool(QPrinter&)>;
    void setSavePathAsker(SavePathAsker ask) { askSavePath_ = std::move(ask); }
    void setPrintAsker(PrintAsker ask) { askPrint_ = std::move(ask); }

    // The panel's stops in tab order.
    QList<QWidget*> tabStops() const;

    // Where the sitting is kept: the panel offers the last sitting, says what the storage could
    // not do and deletes the kept sittings on request. Without one these parts stay hidden.
    void setStore(SittingStore* store);

signals:
    // 前回の記録を続ける: the window is to be replaced by the kept sitting played again.
    void resumeRequested();
    // A code the person asked for, after any question: the window is to be replaced.
    void startCodeRequested(const CaseCode& code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startTypedCode();
    void answerAbandon(bool yes);
    // The sitting's prompt beside the code field: its message, or its question with はい / いいえ.
    void showPrompt();
    void saveCsv();
    void print();
    void showCode();
    void showReview();
    void showRecord();
    void showCustomerView();
    void showHint();
    void askHint();
    // The checks and the expert's path of an ended case, or nothing.
    void showAfterEnd(const CaseRecord* c);
    void showKept();
    void askDeleteKept(bool asking);

    Sitting& sitting_;
    SittingStore* store_ = nullptr;
    SavePathAsker askSavePath_;
    PrintAsker askPrint_;

    QScrollArea* scroll_;
    QLineEdit* name_;
    QLabel* code_;
    QLineEdit* codeInput_;
    QPushButton* codeStart_;
    QLabel* codeMessage_;
    QWidget* question_;
    QLabel* questionText_;
    QPushButton* abandonYes_;
    QPushButton* abandonNo_;

    QPushButton* hint_;
    QLabel* hintText_;

    QGroupBox* review_;
    QLabel* reviewHidden_;
    ReviewPlotWidget* plot_;
    QTableWidget* steps_;
    std::vector<bool> stepsBreaking_;  // the columns whose cells go on to further lines
    QWidget* summary_;
    std::vector<QLabel*> summaryValues_;
    QTreeWidget* procedure_;
    QTableWidget* expertSummary_;
    QTableWidget* expertSteps_;
    const CaseRecord* afterEndShown_ = nullptr;

    QTableWidget* record_;
    std::vector<bool> recordBreaking_;
    std::vector<bool> expertSummaryBreaking_, expertStepsBreaking_;
    QLabel* scoreSummary_;
    QPushButton* save_;
    QPushButton* print_;
    QLabel* saveMessage_;
    QLabel* unsavedNote_;

    QWidget* resumeOffer_;
    QPushButton* resume_;
    QPushButton* startAnew_;
    QLabel* storageMessage_;
    QPushButton* deleteKept_;
    QWidget* deleteAsk_;
    QPushButton* deleteYes_;
    QPushButton* deleteNo_;

    QGroupBox* customer_;
    QLabel* picture_;
    QWidget* faces_;
    QLabel* front_;
    QLabel* back_;
    std::array<QLabel*, 2> faceCaptions_{};  // おもて, うら

    // What is shown, to redo only what changed.
    struct Shown {
        std::optional<size_t> reviewed;
        size_t reviewedSteps = 0;
        CaseStatus reviewedStatus = CaseStatus::Measuring;
        size_t cases = 0;  // cases begun
        size_t currentSteps = 0;
        CaseStatus currentStatus = CaseStatus::Measuring;
        bool valid = false;
    } shown_;
    std::optional<CustomerViewKey> customerKey_;
    bool selecting_ = false;  // the record's selection is being mirrored, not chosen
};
