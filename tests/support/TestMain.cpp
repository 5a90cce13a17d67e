#include "TestSupport.h"

#include <QApplication>

int main(int argc, char **argv)
{
    TestSupport::installMessageFilter();
    QApplication app(argc, argv);
    return TestSupport::runAll(argc, argv);
}
