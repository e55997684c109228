// Renders the program's SVG icon into PNG files of the given sizes, for the hicolor icon theme.
//   render_icon ICON.svg OUTPUT_FOLDER SIZE...   writes OUTPUT_FOLDER/SIZExSIZE/kestrova.png

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: render_icon ICON.svg OUTPUT_FOLDER SIZE...\n");
        return 1;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: %s is not an SVG picture\n", qPrintable(arguments[1]));
        return 2;
    }
    for (const QString& text : arguments.mid(3)) {
        const int size = text.toInt();
        QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2").arg(arguments[2]).arg(size);
        if (!QDir().mkpath(folder) || !picture.save(folder + QStringLiteral("/kestrova.png"))) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(folder));
            return 2;
        }
    }
    return 0;
}
