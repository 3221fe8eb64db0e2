/* settings_text: the reading rules shared by the programs' settings files and
 * the stick data file.
 *
 * Lines are read the way a Windows text-mode stream reads them (a carriage
 * return before a line feed is dropped), in pieces of at most size - 1
 * characters. Numbers are read and written in the C locale whatever locale
 * the toolkit chose for the process, so "1.5" means the same everywhere.
 */
#ifndef OSTREL_APPS_SETTINGS_TEXT_H
#define OSTREL_APPS_SETTINGS_TEXT_H

#include <cstddef>
#include <cstdio>

/* Reads one line, or the next piece of a longer line, into buf (size >= 2).
 * Returns the number of characters stored (line feed included), or -1 when
 * nothing was left to read. */
int read_text_line(char* buf, int size, std::FILE* file);

/* A text held in memory, read from next to end by take_text_line. */
struct TextSpan {
    const char* next;
    const char* end;
    bool has_zero; /* a zero byte somewhere: each piece must look for one */
};

/* The span of size bytes at data. */
TextSpan text_span(const char* data, size_t size);

/* read_text_line over a text in memory: the same pieces, the same line-end
 * rule and the same count, for a reader that holds the whole file. A null
 * buf counts the piece without copying it. */
int take_text_line(char* buf, int size, TextSpan& text);

/* Everything left in a stream, in one malloc'd block (the caller frees it) of
 * *size bytes; null when memory runs out or the stream goes on past 256 MiB
 * beyond the size it had at the start. A read error ends the text where it
 * happened, as it ends a line-by-line read. */
char* read_stream_text(std::FILE* file, size_t* size);

/* The first two whitespace-separated words of a line, as scanning with
 * "%s%s" finds them; false when the line holds fewer than two. Words longer
 * than the buffers are cut (the buffers of the readers are as long as a line). */
bool split_key_value(const char* line, char* key, size_t key_size, char* value, size_t value_size);

/* Hands each key and value of a settings file to apply(key, value), in file
 * order, until the end of the file or the first line without two words (the
 * blank line that ends reading). Lines longer than 254 characters are read
 * in pieces, each piece a line of its own. */
template <class Apply>
void for_each_setting(std::FILE* file, Apply&& apply)
{
    char line[255];
    char key[255];
    char value[255];
    while (read_text_line(line, sizeof line, file) >= 0) {
        if (!split_key_value(line, key, sizeof key, value, sizeof value))
            break;
        apply(key, value);
    }
}

/* Key comparison without regard to ASCII case. */
bool key_is(const char* key, const char* name);

/* Decimal integer in the manner of atoi (white space, sign, digits, rest
 * ignored, no digits gives 0); values beyond the int range saturate. */
int parse_int(const char* text);

/* Decimal floating-point number in the manner of atof, in the C locale. */
double parse_double(const char* text);

/* strtod in the C locale. */
double c_strtod(const char* text, char** end);

/* fprintf in the C locale. */
int c_fprintf(std::FILE* file, const char* format, ...) __attribute__((format(printf, 2, 3)));

#endif
