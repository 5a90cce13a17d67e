#include "TestSupport.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (TestSupport::isChildCommandLine(argc, argv))
        return TestSupport::runChild(argc, argv);
    TestSupport::installMessageFilter();
    QApplication app(argc, argv);
    return TestSupport::runAll(argc, argv);
}
