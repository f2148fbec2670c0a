#include "form1.h"
#include "refraction.h"

void Form1::readPhoropter() {}
void Form1::computeResidual() {}
void Form1::keisann() {}
void Form1::ccboke() {}
