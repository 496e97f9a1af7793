#pragma once

#include "app/Startup.h"

#include <QApplication>
#include <QTest>

// main() for a Qt Test executable: prepares the application exactly as the program does
// (URL scheme, fonts) so that the windows under test look and behave as they do for users.
#define KELVO_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        kelvo::prepareBeforeApplication();                                                         \
        QApplication app(argc, argv);                                                              \
        kelvo::prepareApplication(app);                                                            \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
