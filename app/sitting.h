#pragma once
// 今回の記録: the sitting's record as a table, one row per customer, with the window's own
// texts, and as CSV bytes for a spreadsheet.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/record.h"

inline constexpr std::array<const char*, 10> kSittingColumns = {
    "番号", "モード", "問題コード", "オートレフ値", "完全補正度数", "測定結果", "誤差", "点数", "質問数", "所要時間"};

// What a row shows in place of a result the case does not have.
inline constexpr const char* kAbandoned = "中断";
inline constexpr const char* kMeasuring = "測定中";

using SittingRow = std::array<std::string, kSittingColumns.size()>;

// The row of the `number`-th customer of the sitting (1 is the first). A customer still being
// measured in test mode shows neither the hidden correction nor the error: they would give the
// answer away.
SittingRow sittingRow(const CaseRecord& c, int number);
std::vector<SittingRow> sittingRows(const std::vector<CaseRecord>& cases);

// Average and best score of the ended cases; nothing when no case has ended.
struct ScoreSummary {
    int ended = 0;
    double average = 0;
    int best = 0;
};
std::optional<ScoreSummary> scoreSummary(const std::vector<CaseRecord>& cases);
// "平均 63.5 点　最高 88 点", or "" when no case has ended.
std::string scoreSummaryText(const std::vector<CaseRecord>& cases);

// The CSV of the table: UTF-8 with a byte-order mark (spreadsheet programs then read the
// Japanese), the header and one line per row, each ended by CR LF; a field holding a comma,
// a quote, CR or LF is quoted, its quotes doubled.
std::string csvField(const std::string& field);
std::string sittingCsv(const std::vector<CaseRecord>& cases);

struct CalendarDate {
    int year = 1970, month = 1, day = 1;
};
// Today in the machine's time zone.
CalendarDate localToday();
// "記録_XXXX-XXXX_2026-12-08.csv": the code's eight digits without its check symbol, which may
// be '*', a character some file systems refuse; the full code is in every row of the file.
std::string csvFileName(const CaseCode& code, const CalendarDate& date);
