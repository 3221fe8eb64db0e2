/* Symbol visibility of libostrel.
 *
 * The library is built with its symbols hidden; the declarations of the public
 * headers, between OSTREL_API_BEGIN and OSTREL_API_END, are its API and the only
 * names it exports for programs. */
#ifndef OSTREL_EXPORT_H
#define OSTREL_EXPORT_H

#if defined(__GNUC__)
#define OSTREL_API_BEGIN _Pragma("GCC visibility push(default)")
#define OSTREL_API_END _Pragma("GCC visibility pop")
#else
#define OSTREL_API_BEGIN
#define OSTREL_API_END
#endif

#endif
