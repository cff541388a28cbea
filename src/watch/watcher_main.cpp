#include "watch/watch_command.h"

int main(int argc, char **argv)
{
    return RunWatchCommand(argc, argv);
}
