// How long the icon overview takes to show its first screen, pictures included, for a game-sized atlas:
// reading the icon states from disk (catalogue, replacements measured, the replacement folder listed and
// its stray files matched), filling the window, and loading the pictures of the rows on the screen.
// Usage: ravelin_overview_bench DIR [ICONS] [REPLACEMENTS]   (run with QT_QPA_PLATFORM=offscreen)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <cstdio>
#include <string>

#include "app/icon_state_views.h"
#include "app/settings.h"
#include "atlas/atlas_kind.h"
#include "ui/qt/icon_grid_model.h"
#include "ui/qt/qt_ui.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: ravelin_overview_bench DIR [ICONS] [REPLACEMENTS]\n", stderr);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const int icons = argc > 2 ? std::stoi(argv[2]) : 2600;
    const int replacements = argc > 3 ? std::stoi(argv[3]) : 500;
    for (const AtlasKind& kind : kAtlasKinds)
        QDir().mkpath(root + "/" + QString::fromUtf8(kind.iconDirectoryName));
    QDir().mkpath(root + "/newTankImages");
    const QString battleIcons = root + "/" + QString::fromUtf8(kBattleAtlas.iconDirectoryName) + "/";
    QImage picture(60, 30, QImage::Format_ARGB32);
    std::string catalogue;
    for (int i = 0; i < icons; ++i) {
        const QString name = QString("nation-V%1_Vehicle").arg(i, 5, 10, QChar('0'));
        picture.fill(QColor::fromHsv(i % 360, 120, 200, 220));
        picture.save(battleIcons + name + ".png");
        if (i < replacements) picture.save(root + "/newTankImages/" + name + ".png");
        catalogue += name.toStdString() + ",60,30\r\n";
    }
    for (int i = 0; i < 20; ++i)
        picture.save(root + QString("/newTankImages/nation-V%1_Vehilce.png").arg(i, 5, 10, QChar('0')));
    QFile file(root + "/" + QString::fromUtf8(kBattleAtlas.catalogueName));
    file.open(QIODevice::WriteOnly);
    file.write(catalogue.data(), static_cast<qint64>(catalogue.size()));
    file.close();

    Settings settings;
    settings.acCurrentDir = QDir(root).absolutePath().toStdString() + "/";
    for (const AtlasKind& kind : kAtlasKinds)
        settings.atlas(kind).iconDirectory =
            settings.acCurrentDir + std::string(kind.iconDirectoryName) + "/";
    settings.acNewIconsDir = settings.acCurrentDir + "newTankImages/";

    QtUi ui;
    ui.openMainWindow();
    QElapsedTimer timer;
    timer.start();
    const IconStateModel model = currentIconStates(settings);
    const qint64 modelMs = timer.elapsed();
    ui.showIconOverview(iconOverviewViewOf(model));
    IconOverviewWindow& window = *ui.iconOverviewWindow();
    window.grab();  // paints the first screen, which asks for its pictures
    IconGridModel& grid = *window.gridModel();
    while (grid.picturesPending() > 0 || grid.picturesLoaded() == 0) {
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    window.grab();
    const qint64 firstScreenMs = timer.elapsed();
    std::printf(
        "overview: %d icons, %d replacements: model %lld ms, first screen with %d pictures %lld ms"
        " (target <= 500) %s\n",
        icons, replacements, static_cast<long long>(modelMs), grid.picturesLoaded(),
        static_cast<long long>(firstScreenMs), firstScreenMs <= 500 ? "ok" : "SLOW");
    return 0;
}
