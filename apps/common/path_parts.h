/* path_parts: the command-line path of a program and its parts.
 *
 * The programs take one path from the command line into fixed buffers and
 * name their output files after it: the data file beside the image, the BMP
 * files beside the stick data. Everything here cuts instead of overrunning,
 * and cuts only between whole UTF-8 sequences.
 */
#ifndef OSTREL_APPS_PATH_PARTS_H
#define OSTREL_APPS_PATH_PARTS_H

#include <cstddef>
#include <string>

/* Copies at most size - 1 bytes of text into out, never splitting a UTF-8
 * sequence, and terminates it. */
void copy_cut(char* out, size_t size, const char* text);

/* The command-line text as a path: surrounding white space dropped and, when
 * it starts with a double quote, the text between the quotes. */
std::string unquote_path(const char* text);

/* A path split the way the platform splits it: drive (always empty here),
 * directory up to and including the last '/', extension from the last dot of
 * the rest, and the file name between them. */
struct PathParts {
    char drive[3];
    char dir[256];
    char fname[256];
    char ext[256];
};
void split_path(const char* path, PathParts& parts);

/* drive + dir (+ '/' when dir is not empty and lacks it) + fname + ext, where
 * ext gets a leading dot when it is not empty and has none. */
std::string make_path(const char* drive, const char* dir, const char* fname, const char* ext);

#endif
