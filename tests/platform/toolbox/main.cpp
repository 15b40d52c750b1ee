// Test entry point: one headless QApplication with a pinned style and font for every toolbox test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <cstdlib>

int main(int argc, char** argv) {
    // Test discovery runs this program outside ctest's environment, so set the platform here too.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const int id = QFontDatabase::addApplicationFont(
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    if (id < 0) {
        fprintf(stderr, "DejaVu Sans is missing (package fonts-dejavu-core)\n");
        return 1;
    }
    QApplication::setFont(QFont(QFontDatabase::applicationFontFamilies(id).value(0), 10));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
