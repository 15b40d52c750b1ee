// Entry point of the panel tests that make controls: one headless QApplication with a pinned
// style and font, so that widget geometry and grabbed pictures are the same on every machine.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // Test discovery runs this program outside ctest's environment, so set the platform here too.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const int id = QFontDatabase::addApplicationFont(
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    if (id < 0) {
        std::fprintf(stderr, "DejaVu Sans is missing (package fonts-dejavu-core)\n");
        return 1;
    }
    QApplication::setFont(QFont(QFontDatabase::applicationFontFamilies(id).value(0), 9));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
