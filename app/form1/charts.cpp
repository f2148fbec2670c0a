// The test chart decides which questions are offered; each chart offers its own and selects the
// first of them, so a question that no longer fits is never left selected.

#include "app/form1/form1.h"

void Form1::Option5_Click() {
    Option1.visible = true;
    Option1.setSelected(true);
    Option3.visible = false;
    Option2.visible = false;
    Option9.visible = false;
    Option4.visible = true;
}

void Form1::Option6_Click() {
    Option1.visible = false;
    Option3.visible = true;
    Option3.setSelected(true);
    Option2.visible = false;
    Option9.visible = false;
    Option4.visible = false;
}

void Form1::Option7_Click() {
    Option1.visible = false;
    Option3.visible = false;
    Option2.visible = true;
    Option2.setSelected(true);
    Option9.visible = false;
    Option4.visible = false;
}

void Form1::Option8_Click() {
    Option1.visible = false;
    Option3.visible = false;
    Option2.visible = false;
    Option9.visible = true;
    Option9.setSelected(true);
    Option4.visible = false;
}
