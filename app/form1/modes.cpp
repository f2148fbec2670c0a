// The three modes, the end of a measurement, and the END and print buttons.

#include "app/form1/form1.h"

void Form1::Option10_Click() {
    // Test mode: nothing helps but the customer's answers.
    for (Label* l : {&Label24, &Label25, &Label21, &Label22, &Label26, &Label28}) l->visible = false;
}

void Form1::Option11_Click() {
    // Practice mode: the cross-cylinder labels start from their headings until ccboke next runs.
    // The headings spell "CC" in ASCII where ccboke writes "ＣＣ"; both as the window has always shown.
    Label24.caption = "CC残余度数（おもて）";
    Label24.visible = true;
    Label25.caption = "CC残余度数（うら）";
    Label25.visible = true;
    Label21.caption = "CCボケ量（おもて） q11";
    Label21.visible = true;
    Label22.caption = "CCボケ量（うら） q21";
    Label22.visible = true;
    Label26.visible = true;
    Label28.visible = true;
}

void Form1::Option12_Click() {
    if (!Option12.selected()) return;
    // The sample customer, whose correction every trainee can check against the book.
    seikaiS = -3.25f;
    seikaiC = -1.5f;
    seikaiA = 56;
    for (Label* l : {&Label24, &Label25, &Label21, &Label22, &Label26, &Label28}) l->visible = true;
    raberu7();
    refuti();
}

void Form1::Command5_Click() {
    for (Label* l : {&Label5, &Label7, &Label14, &Label15, &Label18, &Label19, &Label23}) l->visible = true;
    Command5.visible = false;
    STARTbutton.visible = true;
    Command1.visible = true;
    if (Option10.selected()) {
        // In test mode the result stands as measured.
        for (Frame* f : {&Frame1, &Frame2, &Frame3, &Frame4, &Frame5, &Frame6, &Frame7}) f->enabled = false;
        Command2.visible = false;
    }
    hyouji();
    keisann();
}

void Form1::Command1_Click() { platform_.quit(); }

void Form1::Command7_Click() {
    switch (platform_.printWindow()) {
    case PrintResult::Printed:
        break;
    case PrintResult::NoPrinter:
        platform_.showNotice(kNoPrinterNotice);
        break;
    case PrintResult::Failed:
        platform_.showNotice(kPrintFailedNotice);
        break;
    }
}
