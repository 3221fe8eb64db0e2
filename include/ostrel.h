/* ostrel: write a program like a console program and draw on numbered pages.
 *
 *   #include <ostrel.h>
 *   int main() { printf("hello\n"); return 0; }
 *
 * The runtime owns the process entry and calls the program's own main once.
 * This header declares the whole runtime; it maps the console names (main,
 * printf, scanf, getchar, gets, getline, exit) to the runtime's functions
 * after the C and C++ library headers, so other code keeps the C library's.
 */
#ifndef OSTREL_H
#define OSTREL_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "ostrel/constants.h"

#include "ostrel/console.h"
#include "ostrel/pages.h"
#include "ostrel/draw.h"
#include "ostrel/bmap.h"
#include "ostrel/image.h"
#include "ostrel/clipboard.h"
#include "ostrel/decoders.h"
/* Must stay last: the console names become the runtime's. */
#include "ostrel/console_names.h"

#endif
