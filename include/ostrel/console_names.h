/* The console names of a program: main, printf, scanf, getchar, gets, getline
 * and exit become the runtime's (ostrel_main_program, ostrel_printf, ...).
 *
 * Included last by ostrel.h. The C and C++ library headers that declare these
 * names are included first, so the library's own declarations keep their
 * names; the macros only rename what the program writes after this point.
 * std::printf, std::exit, ... name the runtime's functions too, and
 * std::getline(stream, string) and POSIX getline(&line, &size, file) keep
 * working through overloads of the same name. Member functions called getline
 * (std::istream::getline) cannot be reached by the macro: write
 * (stream.getline)(buf, n) or include <istream> and use std::getline.
 */
#ifndef OSTREL_CONSOLE_NAMES_H
#define OSTREL_CONSOLE_NAMES_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#ifdef __cplusplus
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <string>
#endif

#include "ostrel/console.h"
#include "ostrel/export.h"

OSTREL_API_BEGIN

/* The program's own main, called once by the runtime. */
int ostrel_main_program(void);

/* POSIX getline(&line, &size, file) keeps its meaning under the new name. */
inline ssize_t ostrel_getline(char** line, size_t* size, FILE* stream) { return getline(line, size, stream); }

namespace std {
template <class C, class T, class A>
inline basic_istream<C, T>& ostrel_getline(basic_istream<C, T>& in, basic_string<C, T, A>& s)
{
    return getline(in, s);
}
template <class C, class T, class A>
inline basic_istream<C, T>& ostrel_getline(basic_istream<C, T>& in, basic_string<C, T, A>& s, C delim)
{
    return getline(in, s, delim);
}
template <class C, class T, class A>
inline basic_istream<C, T>& ostrel_getline(basic_istream<C, T>&& in, basic_string<C, T, A>& s)
{
    return getline(in, s);
}
using ::ostrel_exit;
using ::ostrel_getchar;
using ::ostrel_printf;
using ::ostrel_scanf;
} // namespace std

#undef main
#undef printf
#undef scanf
#undef getchar
#undef gets
#undef getline
#undef exit
#define main ostrel_main_program
/* printf and scanf are function-like so that format attributes naming them
 * (__attribute__((format(printf, 1, 2))) in headers included later) keep
 * meaning the C library's checks. */
#define printf(...) ostrel_printf(__VA_ARGS__)
#define scanf(...) ostrel_scanf(__VA_ARGS__)
#define getchar ostrel_getchar
#define gets ostrel_gets
#define getline ostrel_getline
#define exit ostrel_exit

OSTREL_API_END

#endif
