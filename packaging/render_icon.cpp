// Renders the program's SVG icon into the PNG sizes a desktop looks for:
//   ovdesk-render-icon ICON.svg OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/ovdesk.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "Uso: %s ICONA.svg CARTELLA DIMENSIONE...\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "%s: SVG non valido\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0) return 2;
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1x%1").arg(size);
        if (!out.mkpath(folder) || !image.save(out.filePath(folder + QStringLiteral("/ovdesk.png")))) {
            std::fprintf(stderr, "impossibile scrivere l'icona %dx%d\n", size, size);
            return 1;
        }
    }
    return 0;
}
