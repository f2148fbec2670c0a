#pragma once
// The texts of the panel beside the window (振り返り, 今回の記録, 問題コード, 見え方のイメージ),
// written once for both views. The record's own texts (phrases, refraction texts, scores)
// come from record.h, review.h and sitting.h.

#include <array>

namespace panel_text {

inline constexpr const char* kPanel = "記録と振り返り";  // the panel's accessible name
inline constexpr const char* kOpen = "記録を開く";       // the toggle, panel folded
inline constexpr const char* kClose = "記録を閉じる";    // the toggle, panel open

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

inline constexpr const char* kSitting = "今回の記録";
inline constexpr const char* kSaveCsv = "CSV保存";
inline constexpr const char* kPrintRecord = "印刷";
inline constexpr const char* kSaved = "保存しました";
// A save that failed; the reason, when the system gives one, follows after "：".
inline constexpr const char* kSaveFailed = "保存できませんでした";
// The record lives only as long as the program (or the page).
inline constexpr const char* kUnsavedNote = "保存していない記録は、終了すると消えます。";

inline constexpr const char* kCustomerView = "見え方のイメージ";
inline constexpr const char* kFront = "おもて";
inline constexpr const char* kBack = "うら";
// Beside the face of the cross cylinder that is in front of the customer's eye now.
inline constexpr const char* kInFront = "提示中";

// Every text above, for the web view's font subset.
inline constexpr std::array kAll = {kPanel,           kOpen,    kClose,       kCaseCode, kCaseCodeInput, kCaseCodeStart,
                                    kAbandonQuestion, kYes,     kNo,          kReview,   kReviewSteps,   kReviewHidden,
                                    kSitting,         kSaveCsv, kPrintRecord, kSaved,    kSaveFailed,    kUnsavedNote,
                                    kCustomerView,    kFront,   kBack,        kInFront};

}  // namespace panel_text
