#pragma once
// The one window of the trainer: every control, the values it keeps between events, its
// event handlers and its procedures. Plain C++; the Qt view mirrors it after every event.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form1/events.h"
#include "app/window/controls.h"
#include "app/window/platform.h"
#include "display/geometry.h"
#include "optics/refraction.h"

// Romanised names are explained in docs/glossary.md. Members the window names itself keep
// those names; the helpers added around them are plain English.
class Form1 : private InputListener {
public:
    // `random` gives the customers' draws and the dial's guesses alike.
    Form1(Platform& platform, RandomSource& random) : Form1(platform, random, random) {}
    // Customers from `customers`, the dial's guesses from a stream of their own.
    Form1(Platform& platform, RandomSource& customers, RandomSource& dial);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The window itself: caption "Form1", client area 13170 x 9825 twips.
    Frame window{"Form1", Kind::Form};

    // Directly on the window, top-most first.
    Frame Frame7{"Frame7"};
    CommandButton Command7{"Command7"};
    Frame Frame6{"Frame6"};
    CommandButton Command5{"Command5"};
    Frame Frame5{"Frame5"};
    Frame Frame4{"Frame4"};
    CommandButton Command2{"Command2"};
    Frame Frame3{"Frame3"};
    Frame Frame2{"Frame2"};
    CommandButton Command1{"Command1"};
    Frame Frame1{"Frame1"};
    CommandButton STARTbutton{"STARTbutton"};
    Label Label28{"Label28"};  // practice and sample modes: "誤差（残余度数）" and the residual
    Label Label26{"Label26"};  // practice and sample modes: the hidden correction, "完全補正　正解値 ..."
    Label Label25{"Label25"};  // practice: the residual through the cross cylinder, back side
    Label Label24{"Label24"};  // practice: the residual through the cross cylinder, front side
    Label Label23{"Label23"};  // after the end: the score, "85 点"
    Label Label22{"Label22"};  // practice: the blur through the cross cylinder, back side
    Label Label21{"Label21"};  // practice: the blur through the cross cylinder, front side
    Label Label19{"Label19"};  // after the end: the residual, the error left
    Label Label18{"Label18"};  // after the end: "誤差は・・", heading of Label19
    Label Label17{"Label17"};  // the auto-refractor reading
    Label Label15{"Label15"};  // after the end: the trainee's result, the three readouts
    Label Label14{"Label14"};  // after the end: "あなたの測定結果は・・", heading of Label15
    Label Label7{"Label7"};    // after the end (and in sample mode): the hidden correction
    Label Label5{"Label5"};    // after the end: "完全補正度数は・・", heading of Label7
    Label Label2{"Label2"};    // the task, ending "オートレフ値は" before Label17
    Label Label1{"Label1"};    // the title band

    // Frame7, mode.
    OptionButton Option12{"Option12"};
    OptionButton Option10{"Option10"};
    OptionButton Option11{"Option11"};

    // Frame6, the customer's answer.
    Label Label16{"Label16"};  // the customer's answer to the last question

    // Frame5, the phoropter view, top-most first.
    Circle Shape8{"Shape8"};
    Circle Shape7{"Shape7"};
    Circle Shape6{"Shape6"};
    Circle Shape5{"Shape5"};
    Circle Shape3{"Shape3"};
    Circle Shape4{"Shape4"};
    Line Line2{"Line2"};
    Circle Shape2{"Shape2"};
    Line Line1{"Line1"};
    Circle Shape1{"Shape1"};
    Line Line3{"Line3"};
    Label Label20{"Label20"};  // "おもて" or "うら": the cross cylinder's side facing the eye

    // Frame4, the cross cylinder.
    CommandButton Command4{"Command4"};
    CommandButton Command3{"Command3"};
    HScrollBar HScroll4{"HScroll4"};
    Label Label3{"Label3"};    // the handle direction, "Ａ90°"
    Label Label13{"Label13"};  // the scale under HScroll4
    Label Label9{"Label9"};    // "中間軸の方向", heading of the handle bar

    // Frame3, the charts.
    OptionButton Option8{"Option8"};
    OptionButton Option7{"Option7"};
    OptionButton Option6{"Option6"};
    OptionButton Option5{"Option5"};
    Image Image4{"Image4"};
    Image Image3{"Image3"};
    Image Image2{"Image2"};
    Image Image1{"Image1"};

    // Frame2, the lens power.
    HScrollBar HScroll3{"HScroll3"};
    HScrollBar HScroll2{"HScroll2"};
    HScrollBar HScroll1{"HScroll1"};
    Label Label12{"Label12"};  // the scale under HScroll3
    Label Label11{"Label11"};  // the scale under HScroll2
    Label Label10{"Label10"};  // the scale under HScroll1
    Label Label8{"Label8"};    // the lens axis, "Ａ90°"
    Label Label6{"Label6"};    // the lens cylinder, "Ｃ 0.00Ｄ"
    Label Label4{"Label4"};    // the lens sphere, "Ｓ 0.00Ｄ"

    // Frame1, the questions.
    CommandButton Command6{"Command6"};
    OptionButton Option9{"Option9"};
    OptionButton Option4{"Option4"};
    OptionButton Option3{"Option3"};
    OptionButton Option2{"Option2"};
    OptionButton Option1{"Option1"};

    // Every control, window first, then container by container in the order above.
    const std::vector<Control*>& controls() const { return all_; }
    Control* find(const std::string& name) const;
    // The chart option selected, and the question the answer button asks (the first selected
    // question in the order of the buttons; hidden buttons count too).
    Chart selectedChart() const;
    std::optional<Question> selectedQuestion() const;
    // Controls that take the keyboard focus, in tab order.
    const std::vector<Control*>& tabOrder() const { return tabOrder_; }

    // Who is told what each user input did (app/form1/events.h); nobody by default. The window
    // runs the same with and without one.
    void setObserver(WindowObserver* observer) { observer_ = observer; }
    // The window's setting now, as values.
    WindowSetting setting() const;
    // Gives `input` to the control named `control` as the user would (a kept sitting played
    // again); false when there is no such control or it takes no such input.
    bool giveInput(const std::string& control, const UserInput& input);

    // --- Values kept between events ---
    float seikaiS = 0, seikaiC = 0, seikaiA = 0;  // the hidden full correction
    double foroS = 0, foroC = 0;                  // the phoropter lens
    int16_t foroA = 0;
    double zanyoS = 0, zanyoC = 0, zanyoA = 0;  // the residual refraction
    double zanyoTan = 0;
    double zuX1 = 0, zuY1 = 0, zuX2 = 0, zuY2 = 0;   // ends of the line drawn last
    int16_t ccJiku = 0, akaJiku = 0, shiroJiku = 0;  // cross-cylinder directions

    // --- Event handlers (all defined in app/form1/, one file per part of the window) ---
    void Form_Load();          // the first customer, drawn before the window shows
    void STARTbutton_Click();  // "再測定": the next customer, the window as designed
    void Option10_Click();     // test mode: hides the helping labels
    void Option11_Click();     // practice mode: shows them from their headings
    void Option12_Click();     // sample mode: the sample customer, labels shown
    void Command5_Click();     // "測定終了正解は？": reveals correction, error, score
    void Command1_Click();     // END: quits the program
    void Command7_Click();     // prints the window, or says why it cannot
    void HScroll1_Change();    // sphere bar: readouts, residual, cross-cylinder blur
    void HScroll2_Change();    // cylinder bar: the same as the sphere bar
    void HScroll3_Change();    // axis bar: readouts, axis line, residual, blur
    void HScroll4_Change();    // cross-cylinder handle: readout, drawing, blur
    void Command2_Click();     // puts the cross cylinder in along the lens axis
    void Command3_Click();     // flips it: front and back change places
    void Command4_Click();     // takes it out, keeping handle and side
    void Option5_Click();      // acuity chart: offers its questions
    void Option6_Click();      // red-green chart
    void Option7_Click();      // dial chart
    void Option8_Click();      // dot chart
    void Command6_Click();     // asks the selected question; the answer into Label16

    // --- Procedures ---
    void hyouji();      // the three lens readouts from the scroll bars
    void jikuzusi();    // the lens axis line Line1
    void cchyouji();    // the handle direction readout Label3
    void cczusi();      // the cross-cylinder axis line and handle
    void akatenzusi();  // the red and white dot pairs
    void raberu7();     // the hidden correction's texts, Label7 and Label26
    void refuti();      // the auto-refractor reading, Label17
    void keisann();     // residual, its texts and the score; locks the mode
    void ccboke();      // blur and residual through both cross-cylinder sides

    // Notices shown when printing is impossible.
    static constexpr const char* kNoPrinterNotice = "プリンターが設定されていないため、印刷できません。";
    static constexpr const char* kPrintFailedNotice = "印刷できませんでした。プリンターを確認してください。";

    // Heads of the cross-cylinder blur labels (ASCII parentheses for the front, full-width
    // for the back, as the window has always shown them).
    static constexpr const char* kBlurFront = "ＣＣボケ量(おもて)は　";
    static constexpr const char* kBlurBack = "ＣＣボケ量（うら）は　";

private:
    void buildLayout();  // every control's design properties
    void wireEvents();   // which handler each event runs
    void drawCase();     // a new hidden correction
    // Phoropter lens from the three lens scroll bars (the first step of every optics
    // procedure).
    void readPhoropter();
    // The residual of the current setting into zanyoS, zanyoC, zanyoA (and zanyoTan).
    void computeResidual();
    // Both flip positions of the cross cylinder in front of the current residual, recomputed
    // from the scroll bars; stores ccJiku, akaJiku and shiroJiku.
    CrossCylinderLook lookThroughCrossCylinder();
    // The customer's answer to a question whose chart fits; no text
    // leaves the previous answer standing.
    std::optional<std::string> answerQuestion(Question question);
    std::optional<std::string> answerCrossCylinder();
    std::optional<std::string> answerDial(double zanyoTouka);
    // Moves a line of the phoropter view to `ends`, in single precision as lines keep them.
    static void placeLine(Line& line, const LineEnds& ends);

    // Every user input to a control of the window: the setting before it, and after its
    // handlers the account for the observer (app/form1/events.cpp).
    void inputBegins(Control& control, const UserInput& input) override;
    void inputEnds(Control& control) override;
    WindowEvent accountFor(const Control& control) const;

    Platform& platform_;
    RandomSource& random_;
    RandomSource& dial_;
    std::vector<Control*> all_;
    std::vector<Control*> tabOrder_;

    std::string reading_;  // the auto-refractor reading refuti wrote, without " です。"
    Refraction readingLens_;
    WindowObserver* observer_ = nullptr;
    int inputDepth_ = 0;
    WindowSetting before_;  // at the start of the input being handled
    UserInput input_;
    bool couldAsk_ = false, couldRestart_ = false;
};
