// The window as designed: every control's place, caption, colours and font, and which
// handler each event runs.

#include <cstring>

#include "app/form1/form1.h"

namespace {

constexpr Rgb kRedFrameText{192, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

void place(Control& c, float left, float top, float width, float height) {
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
}

FontSpec font(const char* family, double points, bool bold = false) { return {family, points, bold}; }

void frame(Frame& f, const char* caption, float l, float t, float w, float h, const char* tip = "") {
    f.caption = caption;
    place(f, l, t, w, h);
    f.look.fore = kRedFrameText;
    f.look.font = font(kPGothic, 11.25, true);
    f.look.toolTip = tip;
}

void label(Label& lb, const char* caption, float l, float t, float w, float h, FontSpec f) {
    lb.caption = caption;
    place(lb, l, t, w, h);
    lb.look.font = std::move(f);
}

void button(CommandButton& b, const char* caption, float l, float t, float w, float h) {
    b.caption = caption;
    place(b, l, t, w, h);
}

void option(OptionButton& o, const char* caption, float l, float t, float w, float h) {
    o.caption = caption;
    place(o, l, t, w, h);
}

void scroll(HScrollBar& s, float l, float t, float w, float h, int min, int max, int small, int large, int value) {
    place(s, l, t, w, h);
    s.min = min;
    s.max = max;
    s.smallChange = small;
    s.largeChange = large;
    s.initValue(value);
}

void circle(Circle& c, float l, float t, float w, float h) { place(c, l, t, w, h); }

void line(Line& ln, float x1, float y1, float x2, float y2, Rgb colour, int width) {
    ln.x1 = x1;
    ln.y1 = y1;
    ln.x2 = x2;
    ln.y2 = y2;
    ln.look.fore = colour;
    ln.look.borderWidth = width;
}

}  // namespace

void Form1::buildLayout() {
    window.caption = "Form1";
    place(window, 0, 0, 13170, 9825);

    // --- Directly on the window ---
    frame(Frame7, "モード", 11280, 1440, 1815, 1815);
    button(Command7, "print", 10920, 8520, 855, 495);
    frame(Frame6, "お客様の答え", 9840, 3840, 2415, 1935);
    button(Command5, "測定終了正解は？", 8400, 6360, 1335, 1095);
    Command5.look.back = Rgb{255, 255, 0};
    Command5.look.font = font(kGothic, 11.25, true);
    frame(Frame5, "フォロプター", 960, 720, 3015, 2535, "フォロプターののぞき穴");
    frame(Frame4, "クロスシリンダーの操作", 240, 5880, 3735, 1935);
    Frame4.visible = false;
    button(Command2, "クロスシリンダーをつかう", 600, 5640, 1695, 615);
    Command2.look.back = Rgb{0, 255, 255};
    Command2.look.font = font(kGothic, 9);
    Command2.look.toolTip = "クロスシリンダーを使うとき";
    frame(Frame3, "視標チャートの設定", 4200, 840, 6855, 2415, "お客様に見せる視標を選びます");
    frame(Frame2, "フォロプターの度数", 240, 3480, 3735, 2055, "スクロールバーを操作して度数を設定します");
    button(Command1, "END", 10800, 7440, 1095, 735);
    Command1.look.back = Rgb{192, 192, 192};
    frame(Frame1, "お客様への質問", 4200, 3480, 5175, 2535, "お客様への質問事項を選びます");
    button(STARTbutton, "再測定", 10800, 6480, 1095, 735);
    STARTbutton.look.back = Rgb{0, 255, 0};
    STARTbutton.look.font = font(kGothic, 9);
    STARTbutton.visible = false;

    label(Label28, "誤差（残余度数） S2C2A2", 360, 9360, 6495, 375, font(kPGothic, 9, true));
    Label28.look.fore = kBlue;
    label(Label26, "完全補正　正解値 S0C0A0", 360, 9120, 6375, 495, font(kPGothic, 9, true));
    Label26.look.fore = kBlue;
    label(Label25, "CC残余度数（うら）", 360, 8160, 4815, 255, font(kPGothic, 9, true));
    Label25.look.fore = Rgb{0, 0, 0};
    label(Label24, "CC残余度数（おもて）", 360, 7920, 4695, 255, font(kPGothic, 9, true));
    Label24.look.fore = Rgb{0, 0, 0};
    label(Label23, "tennsuu", 8520, 7800, 1815, 495, font(kPGothic, 20.25, true));
    Label23.look.fore = Rgb{255, 0, 0};
    label(Label22, "CCボケ量（うら） q21", 360, 8640, 5055, 255, font(kPGothic, 9.75, true));
    Label22.look.fore = Rgb{255, 0, 255};
    label(Label21, "CCボケ量（おもて） q11", 360, 8400, 5055, 255, font(kPGothic, 9.75, true));
    Label21.look.fore = Rgb{255, 0, 255};
    label(Label19, "", 5160, 7920, 3615, 255, font(kPGothic, 11.25, true));
    Label19.look.fore = kBlue;
    label(Label18, "誤差は・・", 4680, 7680, 2415, 255, font(kPGothic, 11.25, true));
    label(Label17, "オートレフ値", 6240, 360, 4425, 225, font(kPGothic, 11.25, true));
    Label17.look.fore = kBlue;
    Label17.look.transparent = true;
    label(Label15, "", 5160, 7320, 3735, 255, font(kPGothic, 11.25, true));
    Label15.look.fore = kBlue;
    label(Label14, "あなたの測定結果は・・", 4680, 7080, 3255, 255, font(kPGothic, 11.25, true));
    label(Label7, "", 5160, 6720, 3615, 255, font(kPGothic, 11.25, true));
    Label7.look.fore = kBlue;
    label(Label5, "完全補正度数は・・", 4680, 6480, 3255, 255, font(kPGothic, 11.25, true));
    label(Label2, "このお客様の完全補正度数を求めてください。     オートレフ値は", 4440, 120, 4215, 375,
          font(kGothic, 9));
    Label2.look.transparent = true;
    label(Label1, "Veltrano", 360, 120, 3735, 375, font(kGothic, 15.75));
    Label1.look.fore = Rgb{255, 255, 255};
    Label1.look.back = kBlue;
    Label1.look.border = true;
    Label1.look.align = Align::Centre;
    for (Label* l : {&Label28, &Label26, &Label25, &Label24, &Label23, &Label22, &Label21, &Label19, &Label18, &Label15,
                     &Label14, &Label7, &Label5})
        l->visible = false;

    // --- Frame7, mode ---
    option(Option12, "サンプルモード", 120, 1320, 1575, 255);
    option(Option10, "テストモード", 120, 480, 1215, 255);
    option(Option11, "練習モード", 120, 840, 1215, 375);

    // --- Frame6, answer ---
    label(Label16, "Label16", 240, 720, 1935, 735, font(kPGothic, 12, true));
    Label16.look.fore = Rgb{255, 0, 0};
    Label16.look.transparent = true;
    Label16.look.align = Align::Centre;
    Label16.visible = false;

    // --- Frame5, phoropter view ---
    for (Circle* dot : {&Shape8, &Shape7, &Shape6, &Shape5}) {
        dot->look.fore = Rgb{255, 0, 0};
        dot->fillColour = Rgb{255, 0, 0};
        dot->visible = false;
    }
    circle(Shape8, 2280, 480, 135, 135);
    Shape8.fillStyle = 1;
    circle(Shape7, 2040, 480, 135, 135);
    Shape7.fillStyle = 1;
    circle(Shape6, 2160, 240, 135, 135);
    Shape6.fillStyle = 0;
    circle(Shape5, 1920, 240, 135, 135);
    Shape5.fillStyle = 0;
    circle(Shape3, 360, 360, 1695, 1695);
    Shape3.look.fore = Rgb{128, 128, 128};
    Shape3.look.borderWidth = 3;
    Shape3.fillStyle = 1;
    Shape3.visible = false;
    circle(Shape4, 720, 720, 975, 975);
    Shape4.hasBorder = false;
    Shape4.fillStyle = 0;
    Shape4.fillSystem = SystemColour::ButtonFace;
    line(Line2, 1200, 360, 1200, 2040, Rgb{255, 0, 0}, 2);
    Line2.visible = false;
    circle(Shape2, 600, 600, 1215, 1215);
    Shape2.hasBorder = false;
    Shape2.fillStyle = 0;
    Shape2.fillSystem = SystemColour::ButtonFace;
    line(Line1, 1200, 480, 1200, 1920, Rgb{192, 0, 0}, 5);
    circle(Shape1, 480, 480, 1455, 1455);
    Shape1.look.foreSystem = SystemColour::WindowText;
    Shape1.look.borderWidth = 2;
    Shape1.fillStyle = 1;
    line(Line3, 1200, 2040, 1200, 2400, Rgb{128, 128, 128}, 10);
    Line3.visible = false;
    label(Label20, "おもて", 2040, 2160, 855, 255, font(kGothic, 12, true));
    Label20.look.fore = Rgb{255, 0, 255};
    Label20.look.align = Align::Right;
    Label20.look.transparent = true;
    Label20.visible = false;

    // --- Frame4, cross cylinder ---
    button(Command4, "クロスシリンダーをはずす", 240, 1200, 1575, 615);
    Command4.look.back = Rgb{192, 192, 192};
    Command4.look.font = font(kGothic, 8.25);
    Command4.look.toolTip = "クロスシリンダーをはずします";
    button(Command3, "反転", 2280, 1200, 975, 615);
    Command3.look.back = Rgb{255, 128, 0};
    Command3.look.font = font(kGothic, 9);
    scroll(HScroll4, 1440, 720, 2055, 255, 1, 180, 1, 15, 90);
    label(Label3, "Ａ90°", 600, 720, 855, 255, font(kPGothic, 12, true));
    Label3.look.fore = kBlue;
    Label3.look.transparent = true;
    label(Label13, "180      90        0", 1560, 960, 2055, 255, font(kGothic, 9));
    Label13.look.transparent = true;
    label(Label9, "中間軸の方向", 360, 360, 1215, 255, font(kGothic, 9));
    Label9.look.transparent = true;

    // --- Frame3, charts ---
    option(Option8, "点群視標", 5160, 360, 1455, 255);
    option(Option7, "放射線視標", 3600, 360, 1455, 255);
    option(Option6, "ＲＧテスト", 2040, 360, 1575, 255);
    Option6.look.font = font(kPGothic, 9.75);
    option(Option5, "視力表", 600, 360, 1455, 255);
    Option5.look.font = font(kPGothic, 9.75);
    place(Image4, 5040, 720, 1410, 1410);
    Image4.picture = ":/charts/dots.png";
    place(Image3, 3480, 720, 1410, 1410);
    Image3.picture = ":/charts/dial.png";
    place(Image2, 1920, 720, 1410, 1380);
    Image2.picture = ":/charts/redgreen.png";
    place(Image1, 360, 720, 1365, 1440);
    Image1.picture = ":/charts/acuity.png";

    // --- Frame2, lens power ---
    scroll(HScroll3, 1440, 1440, 2055, 255, 0, 180, 1, 15, 90);
    scroll(HScroll2, 2040, 960, 1455, 255, 0, 20, 1, 4, 0);
    scroll(HScroll1, 1440, 480, 2055, 255, 0, 80, 1, 4, 40);
    label(Label12, "180      90        0", 1560, 1680, 2055, 255, font(kGothic, 9));
    label(Label11, "0  　    －5", 2280, 1200, 1215, 255, font(kGothic, 9));
    label(Label10, "＋10       0    　－10", 1440, 720, 2055, 255, font(kGothic, 9));
    label(Label8, "Ａ90°", 600, 1440, 855, 255, font(kPGothic, 12, true));
    label(Label6, "Ｃ 0.00Ｄ", 360, 960, 1215, 255, font(kPGothic, 12, true));
    label(Label4, "Ｓ 0.00Ｄ", 240, 480, 1335, 255, font(kPGothic, 12, true));
    for (Label* l : {&Label12, &Label11, &Label10, &Label8, &Label6, &Label4}) l->look.transparent = true;
    for (Label* l : {&Label8, &Label6, &Label4}) l->look.fore = kBlue;

    // --- Frame1, questions ---
    button(Command6, "質問する", 3600, 840, 1335, 975);
    Command6.look.back = Rgb{255, 128, 0};
    Command6.look.font = font(kGothic, 9);
    option(Option9, "クロスシリンダーの「おもて」と「うら」、どちらがよく見えますか？", 240, 1320, 3135, 375);
    Option9.visible = false;
    option(Option4, "今の見え方とＳ＋0.25Ｄを加えた見え方は、どちらがよく見えますか？", 240, 1680, 3135, 375);
    option(Option3, "赤と緑、どちらがよく見えますか？", 240, 720, 3135, 255);
    Option3.visible = false;
    option(Option2, "乱視表、濃く見える方向は？", 240, 960, 2535, 375);
    Option2.visible = false;
    option(Option1, "視力表、どこまで見えますか？", 240, 480, 3135, 255);

    // Containers and stacking, top-most first.
    for (Control* c : std::initializer_list<Control*>{
             &Frame7,  &Command7,    &Frame6,  &Command5, &Frame5,  &Frame4,  &Command2, &Frame3,  &Frame2,  &Command1,
             &Frame1,  &STARTbutton, &Label28, &Label26,  &Label25, &Label24, &Label23,  &Label22, &Label21, &Label19,
             &Label18, &Label17,     &Label15, &Label14,  &Label7,  &Label5,  &Label2,   &Label1})
        window.add(*c);
    for (Control* c : std::initializer_list<Control*>{&Option12, &Option10, &Option11}) Frame7.add(*c);
    Frame6.add(Label16);
    for (Control* c : std::initializer_list<Control*>{&Shape8, &Shape7, &Shape6, &Shape5, &Shape3, &Shape4, &Line2,
                                                      &Shape2, &Line1, &Shape1, &Line3, &Label20})
        Frame5.add(*c);
    for (Control* c : std::initializer_list<Control*>{&Command4, &Command3, &HScroll4, &Label3, &Label13, &Label9})
        Frame4.add(*c);
    for (Control* c :
         std::initializer_list<Control*>{&Option8, &Option7, &Option6, &Option5, &Image4, &Image3, &Image2, &Image1})
        Frame3.add(*c);
    for (Control* c : std::initializer_list<Control*>{&HScroll3, &HScroll2, &HScroll1, &Label12, &Label11, &Label10,
                                                      &Label8, &Label6, &Label4})
        Frame2.add(*c);
    for (Control* c : std::initializer_list<Control*>{&Command6, &Option9, &Option4, &Option3, &Option2, &Option1})
        Frame1.add(*c);

    // Design selections; the handlers are wired only afterwards, so none runs here.
    for (OptionButton* o : {&Option10, &Option5, &Option1}) o->setSelected(true);

    all_.push_back(&window);
    for (Control* c : window.children) all_.push_back(c);
    for (Frame* f : {&Frame7, &Frame6, &Frame5, &Frame4, &Frame3, &Frame2, &Frame1})
        for (Control* c : f->children) all_.push_back(c);

    tabOrder_ = {&STARTbutton, &Option1,  &Option2,  &Option3,  &Option4,  &Command1, &HScroll1, &HScroll2,
                 &HScroll3,    &Option5,  &Option6,  &Option7,  &Option8,  &Option9,  &Command2, &HScroll4,
                 &Command3,    &Command4, &Command5, &Command6, &Option10, &Option11, &Command7, &Option12};
}

void Form1::wireEvents() {
    STARTbutton.onClick = [this] { STARTbutton_Click(); };
    Option10.onClick = [this] { Option10_Click(); };
    Option11.onClick = [this] { Option11_Click(); };
    Option12.onClick = [this] { Option12_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command7.onClick = [this] { Command7_Click(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll2.onChange = [this] { HScroll2_Change(); };
    HScroll3.onChange = [this] { HScroll3_Change(); };
    HScroll4.onChange = [this] { HScroll4_Change(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Option5.onClick = [this] { Option5_Click(); };
    Option6.onClick = [this] { Option6_Click(); };
    Option7.onClick = [this] { Option7_Click(); };
    Option8.onClick = [this] { Option8_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    // Option1 to Option4 and Option9 have no handler: a question is only asked by Command6.
    // Every user input is told to the window, which tells its observer what the input did.
    for (Control* c : all_) c->setInputListener(this);
}

Form1::Form1(Platform& platform, RandomSource& customers, RandomSource& dial)
    : platform_(platform), random_(customers), dial_(dial) {
    buildLayout();
    wireEvents();
}

Control* Form1::find(const std::string& name) const {
    for (Control* c : all_)
        if (c->name() == name) return c;
    return nullptr;
}
