#include "form1.h"

void Form1::hyouji() {}
void Form1::jikuzusi() {}
void Form1::HScroll1_Change() {}
void Form1::HScroll2_Change() {}
void Form1::HScroll3_Change() {}
