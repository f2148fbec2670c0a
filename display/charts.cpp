#include "form1.h"

void Form1::Option5_Click() {}
void Form1::Option6_Click() {}
void Form1::Option7_Click() {}
void Form1::Option8_Click() {}
