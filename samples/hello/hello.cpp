// The smallest ostrel program: prints two lines into the console window.
#include <ostrel.h>

int main()
{
    printf("alpha\nbeta %d\n", 42);
    return 0;
}
