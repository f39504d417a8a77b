#pragma once

#include "widgets/Application.h"

#include <QTest>

// QTEST_MAIN with the program's own application object, so that errors escaping an event
// handler reach its error box as they do in the program.
#define TARVO_APPLICATION_TEST_MAIN(TestObject)                                                    \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        Application app(argc, argv);                                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
