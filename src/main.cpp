#include "PloveraApp.h"

int main(int argc, char* argv[])
{
    return PloveraApp::run(argc, argv);
}
