#include "MainModule.h"

int main(int argc, char **argv)
{
    return MainModule::Main(argc, argv);
}
