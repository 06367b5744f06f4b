#include "cli/climain.h"

int main(int argc, char **argv)
{
    cliMain(argc, argv);
}
