#pragma once
// A private SANE configuration for one test: dll.conf naming the backends (SANE's own "test"
// scanner, or none) and test.conf with that scanner's settings. SANE reads it at each start.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace kestrova::test {

class SaneTestConfig {
public:
    // folder: an existing empty folder of the test.
    SaneTestConfig(const QString& folder, const QByteArray& backends, const QByteArray& testSettings = QByteArray())
        : previous_(qgetenv("SANE_CONFIG_DIR")), hadPrevious_(qEnvironmentVariableIsSet("SANE_CONFIG_DIR")) {
        write(folder + "/dll.conf", backends);
        write(folder + "/test.conf", "number_of_devices 1\nresolution 50.0\nbr_x 80.0\nbr_y 100.0\n" + testSettings);
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(folder));
    }
    ~SaneTestConfig() {
        if (hadPrevious_) {
            qputenv("SANE_CONFIG_DIR", previous_);
        } else {
            qunsetenv("SANE_CONFIG_DIR");
        }
    }
    SaneTestConfig(const SaneTestConfig&) = delete;
    SaneTestConfig& operator=(const SaneTestConfig&) = delete;

    // 80 x 100 mm at 50 dpi, as the scanner computes it.
    static constexpr int Width = 157;
    static constexpr int Height = 196;

private:
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    QByteArray previous_;
    bool hadPrevious_;
};

}  // namespace kestrova::test
