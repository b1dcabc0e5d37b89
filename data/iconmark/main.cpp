// Writes the application icon into a hicolor-style tree, from the icon font the window uses too:
//   loopwren-iconmark FONT ICON_NAME OUTPUT_DIR
// gives OUTPUT_DIR/scalable/apps/ICON_NAME.svg and OUTPUT_DIR/NxN/apps/ICON_NAME.png for 48, 128, 256.
// Runs at build time, so it draws offscreen.
#include "gradientmark.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0 &&
           file.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FONT ICON_NAME OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QString fontPath = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QDir out(QString::fromLocal8Bit(argv[3]));

    const std::optional<GradientMark> mark = GradientMark::fromIconFont(fontPath);
    if (!mark) {
        std::fprintf(stderr, "iconmark: no click symbol in %s\n", qPrintable(fontPath));
        return 1;
    }
    bool ok = out.mkpath(QStringLiteral("scalable/apps")) &&
              writeText(out.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name)), mark->svg());
    for (const int size : {48, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        ok = ok && out.mkpath(folder) &&
             mark->render(size).save(out.filePath(QStringLiteral("%1/%2.png").arg(folder, name)));
    }
    if (!ok) {
        std::fprintf(stderr, "iconmark: could not write into %s\n", qPrintable(out.path()));
        return 1;
    }
    return 0;
}
