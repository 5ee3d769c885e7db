#pragma once

#include <QApplication>
#include <QTest>

// main() for an executable that runs several test classes one after the other (suites that
// belong together share one executable, so the build links fewer programs). The result is
// non-zero when any class failed.
template<typename Test>
int runTestClass(int argc, char** argv)
{
    Test test;
    return QTest::qExec(&test, argc, argv);
}

template<typename... Tests>
int runTestClasses(int argc, char** argv)
{
    int failures = 0;
    ((failures += runTestClass<Tests>(argc, argv)), ...);
    return failures;
}

#define CORVANE_TEST_MAIN(...)                                                                                         \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        return runTestClasses<__VA_ARGS__>(argc, argv);                                                                \
    }
