// Skimby: shows the spots of KAVRA club members from a Reverse Beacon
// Network telnet cluster.
#include <QApplication>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/TerminationSignals.h"

int main(int argc, char** argv) {
    skimby::TTerminationSignals termination;
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("skimby"));

    skimby::TProgram program{skimby::ProgramEnvironment()};
    termination.OnSignal([&program] {
        // A close that an error stops leaves the program running, as a
        // close by the operator would.
        if (program.Form1().close()) QApplication::quit();
    });
    program.Show();
    return QApplication::exec();
}
