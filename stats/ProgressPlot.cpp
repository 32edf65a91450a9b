#include "stats/ProgressPlot.h"

#include "stats/StatsCharts.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QFile>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <filesystem>
#include <memory>

namespace tonvik {
namespace {

// The application the rendering needs: the program's own when it has one,
// else one on the offscreen platform, which needs no display.
class PlotApplication {
public:
    PlotApplication() {
        if (QCoreApplication::instance() == nullptr)
            Own = std::make_unique<QApplication>(Argc, Argv);
    }
    // Charts are widgets: a plain QCoreApplication cannot draw them.
    bool CanDraw() const { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

private:
    char Name[7] = "tonvik";
    char PlatformOption[10] = "-platform";
    char Platform[10] = "offscreen";
    char* Argv[4] = {Name, PlatformOption, Platform, nullptr};
    int Argc = 3;
    std::unique_ptr<QApplication> Own;
};

QImage Render(const std::vector<ProgressPoint>& points) {
    QGraphicsScene scene;
    QChart* chart = BuildProgressChart(points);
    scene.addItem(chart); // the scene owns it from here
    const QRectF area(0, 0, PlotWidth, PlotHeight);
    chart->setGeometry(area);
    // Lays the chart out at its size before it is drawn.
    QCoreApplication::sendPostedEvents();
    QImage image(PlotWidth, PlotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, area);
    return image;
}

// A new or regular file: written beside the target and renamed over it only
// when complete, so a failure leaves the file there before as it was.
bool WriteWhole(const QImage& image, const std::string& path, std::string& error) {
    QSaveFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit())
        return true;
    error = file.errorString().toStdString();
    file.cancelWriting();
    return false;
}

// A device or a pipe (/dev/stdout): written straight into, never replaced.
bool WriteInto(const QImage& image, const std::string& path, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && image.save(&file, "PNG") &&
        file.error() == QFileDevice::NoError)
        return true;
    error = file.errorString().toStdString();
    return false;
}

} // namespace

bool PlotGoesToStream(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
           !std::filesystem::is_directory(status);
}

bool ProgressPlotPng(const std::vector<ProgressPoint>& points, std::string& png,
                     std::string& error) {
    PlotApplication application;
    if (!application.CanDraw()) {
        error = "the plot needs a graphical application object";
        return false;
    }
    // Encoded in memory, where no write can fail halfway.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !Render(points).save(&buffer, "PNG")) {
        error = "the picture could not be encoded";
        return false;
    }
    png.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

bool WriteProgressPlot(const std::vector<ProgressPoint>& points, const std::string& path,
                       std::string& error) {
    std::error_code statusError;
    if (std::filesystem::is_directory(path, statusError)) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    PlotApplication application;
    if (!application.CanDraw()) {
        error = "the plot needs a graphical application object";
        return false;
    }
    const QImage image = Render(points);
    const bool written =
        PlotGoesToStream(path) ? WriteInto(image, path, error) : WriteWhole(image, path, error);
    if (!written)
        error = "cannot write " + path + ": " + error;
    return written;
}

} // namespace tonvik
