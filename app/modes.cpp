#include "form1.h"

void Form1::Option10_Click() {}
void Form1::Option11_Click() {}
void Form1::Option12_Click() {}
void Form1::Command5_Click() {}
void Form1::Command1_Click() {}
void Form1::Command7_Click() {}
