// Writes the customer's view of the charts for a set of residuals as PNG files into the folder
// given as the first argument, to look at: the dial at several axes, the red-green chart both
// ways, both faces of the cross cylinder and the acuity chart at growing blur.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QTextStream>

#include "display/customer_sight.h"

namespace {

bool save(const CustomerPicture& pic, const QDir& dir, const QString& name) {
    const QImage img(pic.rgba.data(), pic.width, pic.height, pic.width * 4, QImage::Format_RGBA8888);
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    QTextStream(stdout) << path << '\n';
    return img.save(path, "PNG");
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: customer_sight_pictures OUTPUT_DIR\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    const Chart charts[] = {Chart::Acuity, Chart::RedGreen, Chart::Dial, Chart::Dots};
    const char* names[] = {"acuity", "redgreen", "dial", "dots"};
    for (int i = 0; i < 4; ++i) ok = save(chartPicture(charts[i]), dir, QString("sharp-%1").arg(names[i])) && ok;

    // Sphere only: the blur amount is sqrt(2) times the sphere.
    for (double blur : {0.0, 0.25, 0.5, 1.0, 2.0, 4.0})
        ok = save(customerSight(Chart::Acuity, {-blur / 1.4142135623730951, 0, 90}), dir,
                  QString("acuity-blur%1").arg(blur, 0, 'f', 2)) &&
             ok;
    // Fogged with a residual cylinder: the dial answer names the line along the axis / 30 hour.
    for (int axis : {180, 30, 45, 90, 100, 135, 172})
        ok = save(customerSight(Chart::Dial, {-0.25, -1.0, double(axis)}), dir, QString("dial-axis%1").arg(axis)) && ok;
    // More fog and a smaller cylinder: the line stands out less.
    ok = save(customerSight(Chart::Dial, {-1.0, -0.5, 60}), dir, QString("dial-axis60-fog")) && ok;
    for (double se : {-1.0, -0.5, -0.125, 0.0, 0.375, 1.0})
        ok = save(customerSight(Chart::RedGreen, {se, 0, 90}), dir, QString("redgreen-se%1").arg(se, 0, 'f', 3)) && ok;
    // Residual S 0, C -0.50, A 45 with the handle at three positions.
    for (int handle : {180, 90, 135}) {
        const CrossCylinderPictures cc = customerSightThroughCrossCylinder(Chart::Dots, {0, -0.5, 45}, handle);
        ok = save(cc.omote, dir, QString("cc-handle%1-omote").arg(handle)) && ok;
        ok = save(cc.ura, dir, QString("cc-handle%1-ura").arg(handle)) && ok;
    }
    return ok ? 0 : 1;
}
