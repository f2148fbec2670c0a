// The residual refraction of the current setting, its texts and score, and the view through
// the cross cylinder in both flip positions.

#include <string>

#include "app/form1/form1.h"
#include "optics/refraction.h"

void Form1::readPhoropter() {
    foroS = phoropterSphere(HScroll1.value());
    foroC = phoropterCylinder(HScroll2.value());
    foroA = static_cast<int16_t>(phoropterAxis(HScroll3.value()));
}

void Form1::computeResidual() {
    const Refraction zanyo = zanyoDosuu(Refraction{seikaiS, seikaiC, seikaiA},
                                        Refraction{foroS, foroC, static_cast<double>(foroA)}, &zanyoTan);
    zanyoA = zanyo.A;
    zanyoC = zanyo.C;
    zanyoS = zanyo.S;
}

void Form1::keisann() {
    readPhoropter();
    computeResidual();
    const std::string text = dosuuHyouki(zanyoS, zanyoC, zanyoA);
    Label19.caption = text;
    Label28.caption = "誤差（残余度数）  " + text;  // two ASCII spaces, as always shown
    Label23.caption = std::to_string(tennsuu(Refraction{zanyoS, zanyoC, zanyoA}, foroA, seikaiA)) + " 点";
    // Once a residual has been worked out the mode stays as it is until the next customer.
    Frame7.enabled = false;
}

CrossCylinderLook Form1::lookThroughCrossCylinder() {
    readPhoropter();
    computeResidual();
    const CrossCylinderLook cc = throughCrossCylinder(Refraction{zanyoS, zanyoC, zanyoA}, HScroll4.value());
    ccJiku = static_cast<int16_t>(cc.ccJiku);
    akaJiku = static_cast<int16_t>(cc.akaJiku);
    shiroJiku = static_cast<int16_t>(cc.shiroJiku);
    return cc;
}

void Form1::ccboke() {
    const CrossCylinderLook cc = lookThroughCrossCylinder();
    Label21.caption = kBlurFront + format00(cc.bokeOmote) + " です";
    // ASCII parentheses and one ideographic space on the front, full-width and two on the back:
    // the two labels have always differed so.
    Label24.caption = "ＣＣ残余度数(おもて)　" + dosuuHyouki(cc.omote.S, cc.omote.C, cc.omote.A);
    Label22.caption = kBlurBack + format00(cc.bokeUra) + " です";
    Label25.caption = "ＣＣ残余度数（うら）　　" + dosuuHyouki(cc.ura.S, cc.ura.C, cc.ura.A);

    // Only the practice mode shows the trainee what the customer sees; the others leave the
    // labels as the mode set them.
    if (Option11.selected())
        for (Label* l : {&Label21, &Label22, &Label24, &Label25}) l->visible = true;
}
