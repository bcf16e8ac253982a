#include "app/Aplicacion.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

// GUI tests share one application object, the program's own, so that its
// error handler is in place.
int main(int argc, char** argv)
{
    // Real widgets, no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A settings file of this process's own, never the user's: tests of one
    // program run in parallel processes.
    QByteArray ini;
    if (qEnvironmentVariableIsEmpty("NEMOR_INI")) {
        ini = QByteArray(argv[0]) + "-" + QByteArray::number(static_cast<qint64>(getpid())) + ".ini";
        qputenv("NEMOR_INI", ini);
    }
    // A data folder of its own too, by its full path (a relative one would not
    // count): recovery copies never go among the user's.
    const QByteArray datos = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toLocal8Bit() + "-" +
                             QByteArray::number(static_cast<qint64>(getpid())) + "-datos";
    qputenv("XDG_DATA_HOME", datos);
    // Screenshots go to the build folder for anyone to look at.
    if (qEnvironmentVariableIsEmpty("NEMOR_CAPTURAS"))
        qputenv("NEMOR_CAPTURAS", NEMOR_CARPETA_CAPTURAS);
    TAplicacion app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int r = RUN_ALL_TESTS();
    if (!ini.isEmpty())
        std::remove(ini.constData());
    QDir(QString::fromLocal8Bit(datos)).removeRecursively();
    return r;
}
