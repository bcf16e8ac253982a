#include "app/Aplicacion.h"

#include <gtest/gtest.h>

// GUI tests share one application object, the program's own, so that its
// error handler is in place.
int main(int argc, char** argv)
{
    // Real widgets, no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAplicacion app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
