// One QApplication for the whole test program, made on first use.
#pragma once

#include <QApplication>

namespace skimby {

inline QApplication& QtTestApp() {
    static int argc = 1;
    static char name[] = "skimby_tests_display";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may already be gone.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace skimby
