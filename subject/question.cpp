#include "form1.h"

void Form1::Command6_Click() {}
