#include "refraction.h"

Refraction zanyoDosuu(const Refraction&, const Refraction&, double*) { return {}; }
std::string format00(double) { return {}; }
std::string shortestDecimal(double) { return {}; }
std::string dosuuHyouki(double, double, double) { return {}; }
std::string refractionText(double, double, double) { return {}; }
double bokeRyou(double, double) { return 0; }
int tennsuu(const Refraction&, int, double) { return 0; }
CrossCylinderLook throughCrossCylinder(const Refraction&, int) { return {}; }
