#include "form1.h"

void Form1::drawCase() {}
void Form1::Form_Load() {}
void Form1::STARTbutton_Click() {}
void Form1::raberu7() {}
void Form1::refuti() {}
