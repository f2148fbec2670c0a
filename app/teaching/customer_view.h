#pragma once
// お客様の見え方 beside the window: which pictures of the chart as the customer sees it the
// window's state calls for, and the pictures themselves.

#include <array>
#include <string>
#include <vector>

#include "app/teaching/panel_texts.h"
#include "display/customer_sight.h"

class Form1;

// The caption over the pictures: they are an impression, not a measurement.
inline constexpr const char* kCustomerViewCaption = panel_text::kCustomerView;

// In test mode the pictures would give the residual away until the end; in practice and
// sample modes they follow every action. Nothing without a chart chosen.
bool customerViewShown(const Form1& form);

// What the customer sees now, from the residual of the lenses on the bars: one picture, or
// while the cross cylinder is in front the front face (おもて) then the back face (うら).
// Empty when customerViewShown is false. Each picture's description is its accessible name:
// "見え方のイメージ：放射線視標、レンズ Ｓ-1.25Ｄ Ｃ-0.50Ｄ Ａ90°", with "、おもて" or "、うら" for a face,
// and "（提示中）" after the face in front of the eye now.
std::vector<CustomerPicture> customerView(const Form1& form);

// The captions under the two faces (おもて, then うら) and which of them is in front of the eye
// now, as the window's おもて/うら says: "おもて（提示中）" and "うら" until 反転 swaps them.
struct FaceCaption {
    std::string text;
    bool inFront = false;
};
std::array<FaceCaption, 2> faceCaptions(bool frontInFront);

// What the pictures depend on, for a view to redraw only when it changed.
struct CustomerViewKey {
    bool shown = false;
    int chart = 0;
    int bars[4] = {};
    bool crossCylinderIn = false;
    bool front = true;  // おもて faces the customer
    float correction[3] = {};
    friend bool operator==(const CustomerViewKey&, const CustomerViewKey&) = default;
};
CustomerViewKey customerViewKey(const Form1& form);
