// The process entry of a program built on ostrel: hands the program's own main
// (renamed ostrel_main_program by ostrel.h) to the runtime, which calls it once.
#include "runtime/console/console_internal.h"

int ostrel_main_program(void);

int main(int argc, char** argv)
{
    return ostrel_entry(argc, argv, &ostrel_main_program);
}
