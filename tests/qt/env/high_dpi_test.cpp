// The window on a screen of twice the usual density (QT_SCALE_FACTOR=2): twice the size, and
// text and phoropter drawn at the finer resolution rather than enlarged pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>

#include "app/qt/widgets.h"
#include "tests/qt/view_support.h"

namespace {

// Aligned 2 x 2 blocks whose four pixels are not all alike. A picture painted at the low
// resolution and enlarged has none; one painted at the fine resolution has them at every edge.
int unevenBlocks(const QImage& img, QRect area) {
    int uneven = 0;
    for (int y = area.top(); y + 1 <= area.bottom(); y += 2)
        for (int x = area.left(); x + 1 <= area.right(); x += 2) {
            const QRgb p = img.pixel(x, y);
            if (img.pixel(x + 1, y) != p || img.pixel(x, y + 1) != p || img.pixel(x + 1, y + 1) != p) ++uneven;
        }
    return uneven;
}

QImage grabbed(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

TEST(HighDpi, WindowIsTwiceTheSizeAndDrawnFinely) {
    ShownView v(true);
    ASSERT_EQ(v.view.devicePixelRatioF(), 2) << "run with QT_SCALE_FACTOR=2";
    v.model().Command2.userClick();  // the cross cylinder in: dots, handle and long marks
    v.view.sync();
    QApplication::processEvents();

    const QImage window = grabbed(&v.view);
    if (!qEnvironmentVariableIsEmpty("FORM1_PICTURES"))
        window.save(qEnvironmentVariable("FORM1_PICTURES") + "/high-dpi.png");
    EXPECT_EQ(window.size(), QSize(1756, 1310));
    EXPECT_EQ(v.view.size(), QSize(878, 655)) << "the layout itself stays in its own pixels";

    const QImage phoropter = grabbed(v.view.phoropterView());
    EXPECT_GT(unevenBlocks(phoropter, phoropter.rect()), 200) << "circles and lines are painted, not enlarged";

    QLabel* title = v.widget<QLabel>("Label1");
    ASSERT_NE(title, nullptr);
    const QImage titleImage = grabbed(title);
    EXPECT_GT(unevenBlocks(titleImage, titleImage.rect().adjusted(4, 4, -4, -4)), 50) << "the title's text is crisp";
}
