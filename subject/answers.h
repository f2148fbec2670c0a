#pragma once
// The customer's answers: which question fits which chart, and the answer tables of each
// question, as pure functions of the residual refraction.

#include <optional>
#include <string>

enum class Question { Acuity, Dial, RedGreen, PlusQuarter, CrossCylinder };
enum class Chart { None, Acuity, RedGreen, Dial, Dots };

// Answered: ask the customer. Mismatch: the customer is puzzled (mismatchAnswer).
// Ignored: nothing happens at all.
enum class ChartCheck { Answered, Mismatch, Ignored };
ChartCheck checkChart(Question question, Chart chart);
// A chart's own name ("視力表", "ＲＧテスト", "放射線視標", "点群視標"); empty for none.
std::string chartName(Chart chart);
std::string mismatchAnswer(Question question);

// What anyone says who cannot see the chart: the cross cylinder in front, or too much fog.
inline const std::string kCannotSee = "よく見えません";
// The cross-cylinder question without the cross cylinder in front.
inline const std::string kPuzzled = "え～っ？";

// How far down the acuity chart the customer reads, from the spherical equivalent and the
// blur amount of the residual.
std::string acuityAnswer(double zanyoTouka, double blur);

// The dial is read only through a moderate myopic fog.
enum class Fog { TooFogged, Fogged, NotFogged };
Fog fogOf(double zanyoTouka);

// The darkest dial direction named from the residual axis under fog; no text for an axis
// outside 0 to 180.
std::optional<std::string> dialSectorAnswer(double zanyoA);

// ransuu 1 to 12 from one uniform draw 0 <= u < 1.
int ransuuFromDraw(float u);
// The unfogged customer's guess for ransuu 1 to 12: half the time a pair of hours.
std::string dialGuessAnswer(int ransuu);

std::string redGreenAnswer(double zanyoTouka);
std::string plusQuarterAnswer(double zanyoTouka);

// Front against back of the cross cylinder, from the blur amounts of both positions.
std::string crossCylinderAnswer(double bokeOmote, double bokeUra);
