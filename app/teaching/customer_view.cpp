#include "app/teaching/customer_view.h"

#include "app/form1/form1.h"
#include "app/teaching/record.h"

bool customerViewShown(const Form1& form) {
    const WindowSetting s = form.setting();
    return !hiddenUntilEnd(s.mode, !s.ended) && s.chart != Chart::None;
}

std::vector<CustomerPicture> customerView(const Form1& form) {
    if (!customerViewShown(form)) return {};
    const Chart chart = form.selectedChart();
    const WindowSetting s = form.setting();
    const Refraction zanyo = residualBetween(s.correction, s.lens).zanyo;
    Step lens;
    lens.lens = s.lens;
    const std::string name = std::string(kCustomerViewCaption) + "：" + chartName(chart) + "、レンズ " + lensText(lens);
    if (!form.Frame4.visible) {
        CustomerPicture picture = customerSight(chart, zanyo);
        picture.description = name;
        return {std::move(picture)};
    }
    CrossCylinderPictures faces = customerSightThroughCrossCylinder(chart, zanyo, form.HScroll4.value());
    const auto captions = faceCaptions(s.front);
    faces.omote.description = name + "、" + captions[0].text;
    faces.ura.description = name + "、" + captions[1].text;
    return {std::move(faces.omote), std::move(faces.ura)};
}

std::array<FaceCaption, 2> faceCaptions(bool frontInFront) {
    const auto caption = [](const char* face, bool inFront) {
        return FaceCaption{inFront ? std::string(face) + "（" + panel_text::kInFront + "）" : std::string(face),
                           inFront};
    };
    return {caption(panel_text::kFront, frontInFront), caption(panel_text::kBack, !frontInFront)};
}

CustomerViewKey customerViewKey(const Form1& form) {
    CustomerViewKey k;
    k.shown = customerViewShown(form);
    if (!k.shown) return k;
    k.chart = static_cast<int>(form.selectedChart());
    const HScrollBar* bars[4] = {&form.HScroll1, &form.HScroll2, &form.HScroll3, &form.HScroll4};
    for (int i = 0; i < 4; ++i) k.bars[i] = bars[i]->value();
    k.crossCylinderIn = form.Frame4.visible;
    k.front = form.setting().front;
    k.correction[0] = form.seikaiS;
    k.correction[1] = form.seikaiC;
    k.correction[2] = form.seikaiA;
    return k;
}
