/* data_format: which DATA_FORMAT values may format a coordinate.
 *
 * The value is a printf format given exactly one double. Only a format with
 * exactly one floating-point conversion (%f %F %e %E %g %G %a %A, optionally
 * with the l length, flags "-+ #0", a width and a precision of at most three
 * digits each) and any number of "%%" is safe to use; anything else could make
 * printf read arguments that are not there, or write without bound.
 */
#ifndef OSTREL_APPS_DATA_FORMAT_H
#define OSTREL_APPS_DATA_FORMAT_H

bool is_safe_data_format(const char* format);

#endif
