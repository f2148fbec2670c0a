#pragma once
// The texts of the panel beside the window (振り返り, 今回の記録, 問題コード, 見え方のイメージ),
// written once for both views. The record's own texts (phrases, refraction texts, scores)
// come from record.h, review.h and sitting.h.

#include <array>

namespace panel_text {

inline constexpr const char* kPanel = "記録と振り返り";  // the panel's accessible name
inline constexpr const char* kOpen = "記録を開く";       // the toggle, panel folded
inline constexpr const char* kClose = "記録を閉じる";    // the toggle, panel open

inline constexpr const char* kTraineeName = "名前";  // the trainee's name, optional
inline constexpr const char* kCaseCode = "問題コード";
inline constexpr const char* kCaseCodeInput = "問題コードを入力";  // the input's accessible name
inline constexpr const char* kCaseCodeStart = "このコードで始める";
// Before a new code abandons a customer the trainee has begun to measure.
inline constexpr const char* kAbandonQuestion = "測定中のお客様は中断として記録されます。このコードで始めますか？";
inline constexpr const char* kYes = "はい";
inline constexpr const char* kNo = "いいえ";

inline constexpr const char* kReview = "振り返り";
inline constexpr const char* kReviewSteps = "手順";
// Where the review would give the residual away (test mode, before the end).
inline constexpr const char* kReviewHidden = "テストモードでは、測定終了後に表示します。";
// A customer of an earlier session kept by the learning system as its result only.
inline constexpr const char* kReviewNotKept = "前回までのお客様は結果だけが残っているため、手順は振り返れません。";

// ヒント, and what follows the end of a case: the checks of the procedure and the expert.
inline constexpr const char* kHint = "ヒント";
inline constexpr const char* kProcedureReview = "手順の振り返り";
inline constexpr const char* kExpertSteps = "お手本の手順";
inline constexpr const char* kExpertSummary = "お手本との比較";
// Before a check's step numbers, e.g. "手順 12".
inline constexpr const char* kStepNumber = "手順 ";

inline constexpr const char* kSitting = "今回の記録";
inline constexpr const char* kSaveCsv = "CSV保存";
inline constexpr const char* kPrintRecord = "印刷";
// The printed record's second table: the procedure's figures per customer.
inline constexpr const char* kProcedureFigures = "手順とヒント";
inline constexpr const char* kSaved = "保存しました";
// A save that failed; the reason, when the system gives one, follows after "：".
inline constexpr const char* kSaveFailed = "保存できませんでした";
// Where the record is not kept (the page for now; the desktop when its storage cannot be written
// or was cleared), it lives only as long as the program.
inline constexpr const char* kUnsavedNote = "保存していない記録は、終了すると消えます。";

// Once the sitting is kept where the program keeps its data, the record outlives the program: the
// CSV is how it leaves the machine.
inline constexpr const char* kKeptNote = "記録はこのコンピューターに残ります。持ち出すにはCSV保存を使ってください。";
// Opened from a learning system, which keeps the sitting for the student's next session.
inline constexpr const char* kLmsKeptNote = "記録は学習管理システムが預かり、次に開いたときは続きから始まります。";

// The sitting kept from the last time, offered at start.
inline constexpr const char* kResumeOffer = "前回の記録に、CSV保存していない作業が残っています。";
inline constexpr const char* kResumeSitting = "前回の記録を続ける";
inline constexpr const char* kStartAnew = "新しく始める";
// Removing every kept sitting (a shared computer), after asking.
inline constexpr const char* kDeleteKept = "記録を消す";
inline constexpr const char* kDeleteKeptQuestion = "このコンピューターに残した記録をすべて消しますか？";
inline constexpr const char* kKeptDeleted = "残した記録を消しました。今回の記録は、終了すると消えます。";
// What the storage could not do.
inline constexpr const char* kStorageUnwritable =
    "記録を残す場所に書き込めません。このまま続けられますが、今回の記録は終了すると消えます。";
inline constexpr const char* kSetAsideHead = "前回の記録を続けられませんでした（";
inline constexpr const char* kSetAsideTruncated = "途中で切れています";
inline constexpr const char* kSetAsideCorrupt = "壊れています";
inline constexpr const char* kSetAsideNewer = "新しい版のプログラムで書かれています";
inline constexpr const char* kSetAsideMismatch = "再生した結果が記録と合いません";
inline constexpr const char* kSetAsideTail = "）。ファイルは次の名前で残してあります：";
inline constexpr const char* kPrunedHead = "CSV保存済みの古い記録を";
inline constexpr const char* kPrunedTail = "件消しました。";

inline constexpr const char* kCustomerView = "見え方のイメージ";
inline constexpr const char* kFront = "おもて";
inline constexpr const char* kBack = "うら";
// Beside the face of the cross cylinder that is in front of the customer's eye now.
inline constexpr const char* kInFront = "提示中";

// Every text above, for the web view's font subset.
inline constexpr std::array kAll = {kPanel,
                                    kTraineeName,
                                    kOpen,
                                    kClose,
                                    kCaseCode,
                                    kCaseCodeInput,
                                    kCaseCodeStart,
                                    kAbandonQuestion,
                                    kYes,
                                    kNo,
                                    kReview,
                                    kReviewSteps,
                                    kReviewHidden,
                                    kReviewNotKept,
                                    kSitting,
                                    kSaveCsv,
                                    kPrintRecord,
                                    kProcedureFigures,
                                    kSaved,
                                    kSaveFailed,
                                    kUnsavedNote,
                                    kCustomerView,
                                    kFront,
                                    kBack,
                                    kHint,
                                    kProcedureReview,
                                    kExpertSteps,
                                    kExpertSummary,
                                    kStepNumber,
                                    kKeptNote,
                                    kLmsKeptNote,
                                    kResumeOffer,
                                    kResumeSitting,
                                    kStartAnew,
                                    kDeleteKept,
                                    kDeleteKeptQuestion,
                                    kKeptDeleted,
                                    kStorageUnwritable,
                                    kSetAsideHead,
                                    kSetAsideTruncated,
                                    kSetAsideCorrupt,
                                    kSetAsideNewer,
                                    kSetAsideMismatch,
                                    kSetAsideTail,
                                    kPrunedHead,
                                    kPrunedTail,
                                    kInFront};

}  // namespace panel_text
