// The preview picture of an attachment: LoadPngPicture (Rasterly's bitmap
// wrapped as a QImage) against Qt's PNG reader, on a photograph from the
// test data (320 x 480 RGBA) and on a generated 1600 x 1200 RGB picture.
#include "pngpicture.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString Photo = QStringLiteral(
    SKEDRA_SHARED_DIR "/testdata/png-extra/image-png-tests/bugfixes/gama-srgb-order-issue_304.png");

// A 1600 x 1200 picture of smooth gradients, written once.
const QString &largePicture()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        QImage image(1600, 1200, QImage::Format_RGB888);
        for (int y = 0; y < image.height(); ++y) {
            uchar *row = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                row[3 * x] = uchar(x / 7);
                row[3 * x + 1] = uchar(y / 5);
                row[3 * x + 2] = uchar((x + y) / 11);
            }
        }
        const QString p = dir.filePath(QStringLiteral("large.png"));
        image.save(p, "PNG");
        return p;
    }();
    return path;
}

void rasterly(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        const QImage image = skedra::LoadPngPicture(path);
        if (image.isNull())
            state.SkipWithError("Rasterly did not decode the file");
        benchmark::DoNotOptimize(image.constBits());
    }
}

void qtReader(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        const QImage image = QImageReader(path).read();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PhotoRasterly(benchmark::State &s) { rasterly(s, Photo); }
void BM_PhotoQt(benchmark::State &s) { qtReader(s, Photo); }
void BM_LargeRasterly(benchmark::State &s) { rasterly(s, largePicture()); }
void BM_LargeQt(benchmark::State &s) { qtReader(s, largePicture()); }
BENCHMARK(BM_PhotoRasterly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhotoQt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeRasterly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeQt)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);  // the program's folder, where Rasterly lies
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
