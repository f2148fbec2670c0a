#include "form1.h"

void Form1::HScroll4_Change() {}
void Form1::Command2_Click() {}
void Form1::Command3_Click() {}
void Form1::Command4_Click() {}
void Form1::cchyouji() {}
void Form1::cczusi() {}
void Form1::akatenzusi() {}
