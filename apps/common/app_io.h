/* app_io: the one door through which Marcot and Kinoa talk to the user.
 *
 * The programs print to the console, show message boxes, wait for a key and
 * end through the runtime. Routing those five calls through a small table lets
 * the records and the session logic run in tests and fuzzers, where a box
 * must never block and exit must not end the test process.
 */
#ifndef OSTREL_APPS_APP_IO_H
#define OSTREL_APPS_APP_IO_H

struct AppIo {
    void (*print)(const char* text);                     /* console text (printf) */
    int (*info)(const char* caption, const char* text);  /* msgbox_info */
    int (*yesno)(const char* caption, const char* text); /* msgbox_yesno: 1 yes, 0 no, -1 none */
    int (*getkey)();                                     /* getchar */
    void (*quit)(int code);                              /* exit */
};

/* The runtime's console, boxes and exit. */
const AppIo& app_io_runtime();

/* The table in use; returns the previous one. */
AppIo app_io_set(const AppIo& io);
const AppIo& app_io();

void app_print(const char* format, ...) __attribute__((format(printf, 1, 2)));
int app_info(const char* caption, const char* format, ...) __attribute__((format(printf, 2, 3)));
int app_yesno(const char* caption, const char* format, ...) __attribute__((format(printf, 2, 3)));
int app_getkey();
void app_quit(int code);

#endif
